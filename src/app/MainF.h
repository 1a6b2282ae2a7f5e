#pragma once
// The main window: no frame, drawn from three image maps. While it is created it loads the
// language text and the image collection that the whole program shares, so it is made first.
#include <cstdint>
#include <string>

#include "gui/Forms.h"

namespace orv {

class TKLStoredStream;
class TKLXImages;
class TKLXSkinMap;

class TMainForm : public TForm {
  ORV_CLASSINFO(TMainForm)

public:
  explicit TMainForm(TComponent* owner);
  void FormCreate(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void TopMapMapClick(TObject* Sender, const std::string& AreaName, int32_t AreaIndex);
  // Creates the wizard on first use and brings it up.
  void ShowShredForm();
  void Loaded() override;

  TKLXSkinMap* TopMap = nullptr;
  TKLXSkinMap* CoverMap = nullptr;
  TKLXSkinMap* ProgramsMap = nullptr;
  TKLStoredStream* lgStream = nullptr;
  TKLStoredStream* imgStream = nullptr;
  TKLXImages* AllImages = nullptr;

private:
  void LoadImageLists();
  void SelectImages();
};

}  // namespace orv
