#pragma once
// Icons, enhanced metafiles, and the picture that holds one graphic of any registered class.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "gui/Bitmaps.h"
#include "gui/Graphics.h"
#include "win/Handles.h"

namespace orv {

// An icon read from an .ico file (its first image); it saves the file it was read from.
class TIcon : public TGraphic {
  ORV_CLASSINFO(TIcon)

public:
  bool Empty() const override { return !handle_; }
  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }
  // An icon's size is that of its image: raises EInvalidGraphicOperation.
  void SetWidth(int32_t value) override;
  void SetHeight(int32_t value) override;
  // Borrowed.
  HICON Handle() const { return handle_.Get(); }

  void Assign(const TPersistent* source) override;
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  void Draw(TCanvas& canvas, const TRect& rect) override;

private:
  void Load(std::vector<uint8_t> data);

  std::vector<uint8_t> data_;
  TOwnedIcon handle_;
  int32_t width_ = 0;
  int32_t height_ = 0;
};

// An enhanced metafile; its size is its frame in pixels of the screen unless set.
class TMetafile : public TGraphic {
  ORV_CLASSINFO(TMetafile)

public:
  bool Empty() const override { return !handle_; }
  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }
  void SetWidth(int32_t value) override;
  void SetHeight(int32_t value) override;
  // Borrowed.
  HENHMETAFILE Handle() const { return handle_.Get(); }

  void Assign(const TPersistent* source) override;
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  void Draw(TCanvas& canvas, const TRect& rect) override;

private:
  TOwnedEnhMetafile handle_;
  int32_t width_ = 0;
  int32_t height_ = 0;
};

// Holds at most one graphic. In a window definition it is stored as the binary property
// "Data": the graphic's class name as a short string, then the graphic as it saves itself.
class TPicture : public TPersistent {
  ORV_CLASSINFO(TPicture)

public:
  TPicture();
  ~TPicture() override;

  TGraphic* Graphic() const { return graphic_.get(); }
  // A copy of Value (of the same class); nullptr empties the picture.
  void SetGraphic(const TGraphic* value);
  // Takes Value over.
  void SetGraphic(std::unique_ptr<TGraphic> value);
  // The graphic as that class; a graphic of another class is first replaced by an empty one.
  TBitmap& Bitmap();
  TIcon& Icon();
  TMetafile& Metafile();
  int32_t Width() const { return graphic_ ? graphic_->Width() : 0; }
  int32_t Height() const { return graphic_ ? graphic_->Height() : 0; }

  // From a picture or a graphic a copy; from nullptr empty.
  void Assign(const TPersistent* source) override;
  void DefineProperties(TFiler& filer) override;

  std::function<void(TPicture*)> OnChange;

protected:
  void AssignTo(TPersistent* dest) const override;

private:
  template <class G>
  G& As();
  void Changed();
  void ReadData(TStream& stream);
  void WriteData(TStream& stream);

  std::unique_ptr<TGraphic> graphic_;
};

}  // namespace orv
