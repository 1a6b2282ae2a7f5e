#pragma once
// The main window, read from its window definition. For now a plain form with one button that
// opens the erase wizard; while it is created it loads the language text it carries.
#include "gui/Forms.h"

namespace orv {

class TButton;
class TKLStoredStream;
class TMethodObject;

class TMainForm : public TForm {
  ORV_CLASSINFO(TMainForm)

public:
  explicit TMainForm(TComponent* owner);
  void FormCreate(TObject* sender);
  void FormDestroy(TObject* sender);
  void FormCloseQuery(TObject* sender, bool& canClose);
  void EraseBtnClick(TObject* sender);
  // Creates the wizard on first use and brings it up.
  void ShowShredForm();

  TKLStoredStream* lgStream() const;

private:
  void ApplyLanguage();
  TMethodObject* languageLink_ = nullptr;
};

}  // namespace orv
