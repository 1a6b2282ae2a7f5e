#pragma once
// The JPEG graphic: keeps the JFIF file it was read from (and writes it back unchanged), and
// draws from its pixels decoded once at 24 bits per pixel.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "gui/Bitmaps.h"
#include "gui/Graphics.h"

namespace orv {

class TJPEGImage : public TGraphic {
  ORV_CLASSINFO(TJPEGImage)
public:
  TJPEGImage();
  ~TJPEGImage() override;

  bool Empty() const override { return data_.empty(); }
  int32_t Width() const override { return bitmap_ ? bitmap_->Width() : 0; }
  int32_t Height() const override { return bitmap_ ? bitmap_->Height() : 0; }
  // A JPEG's size is that of its picture: raises EInvalidGraphicOperation.
  void SetWidth(int32_t value) override;
  void SetHeight(int32_t value) override;
  // Used when a bitmap is assigned (1 to 100).
  int CompressionQuality() const { return quality_; }
  void SetCompressionQuality(int value);

  // From a JPEG a copy; from a bitmap its pixels compressed; from nullptr empty.
  void Assign(const TPersistent* source) override;
  // Damaged data raises EInvalidGraphic and leaves the graphic as it was.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  void Draw(TCanvas& canvas, const TRect& rect) override;

protected:
  // Into a bitmap: the decoded pixels.
  void AssignTo(TPersistent* dest) const override;

private:
  void Load(std::vector<uint8_t> data);
  void Clear();

  std::vector<uint8_t> data_;
  std::unique_ptr<TBitmap> bitmap_;
  int quality_ = 90;
};

// Unit start-up and end: TJPEGImage in the class registry, for image items that name it.
void InitializeKLJpeg();
void FinalizeKLJpeg();

}  // namespace orv
