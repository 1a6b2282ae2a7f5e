#include <windows.h>

#include "skin/KLJpeg.h"

#include <algorithm>
#include <cstring>

#include "skin/KLJpegCodec.h"

namespace orv {

const TClassInfo& TJPEGImage::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TJPEGImage>("TJPEGImage", &TGraphic::StaticClassInfo()).Info();
  return info;
}

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::SetWidth(int32_t) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }
void TJPEGImage::SetHeight(int32_t) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }

void TJPEGImage::SetCompressionQuality(int value) { quality_ = std::clamp(value, 1, 100); }

void TJPEGImage::Clear() {
  data_.clear();
  bitmap_.reset();
  Changed();
}

void TJPEGImage::Load(std::vector<uint8_t> data) {
  const TBmpImage image = DecodeJpeg(data.data(), data.size());
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(image.Width, image.Height);
  const auto stride = static_cast<size_t>(BmpStride(image.Width, 24));
  for (int32_t y = 0; y < image.Height; ++y)
    std::memcpy(bitmap->ScanLine(y), image.Pixels.data() + stride * (image.Height - 1 - y), stride);
  data_ = std::move(data);
  bitmap_ = std::move(bitmap);
  Changed();
}

void TJPEGImage::Assign(const TPersistent* source) {
  if (!source) return Clear();
  if (source == this) return;
  if (auto* other = dynamic_cast<const TJPEGImage*>(source)) {
    std::unique_ptr<TBitmap> bitmap;
    if (other->bitmap_) {
      bitmap = std::make_unique<TBitmap>();
      bitmap->Assign(other->bitmap_.get());
    }
    data_ = other->data_;
    bitmap_ = std::move(bitmap);
    quality_ = other->quality_;
    return Changed();
  }
  if (auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
    if (bitmap->Empty()) return Clear();
    TBitmap pixels;
    pixels.Assign(bitmap);
    pixels.SetPixelFormat(pf24bit);
    // A bottom-up DIB: its memory starts with the bottom row.
    const TBmpPixels view{pixels.ScanLine(pixels.Height() - 1), pixels.Width(), pixels.Height(), 24};
    return Load(EncodeJpeg(view, quality_));
  }
  TGraphic::Assign(source);
}

void TJPEGImage::AssignTo(TPersistent* dest) const {
  if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) return bitmap->Assign(bitmap_.get());
  TGraphic::AssignTo(dest);
}

void TJPEGImage::LoadFromStream(TStream& stream) {
  const int64_t rest = stream.Size() - stream.Position();
  if (rest <= 0) return Clear();
  std::vector<uint8_t> data(static_cast<size_t>(rest));
  stream.ReadBuffer(data.data(), rest);
  Load(std::move(data));
}

void TJPEGImage::SaveToStream(TStream& stream) {
  if (!data_.empty()) stream.WriteBuffer(data_.data(), static_cast<int64_t>(data_.size()));
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect) {
  if (bitmap_) bitmap_->Draw(canvas, rect);
}

void InitializeKLJpeg() { RegisterClass(TJPEGImage::StaticClassInfo()); }

void FinalizeKLJpeg() { UnRegisterClass(TJPEGImage::StaticClassInfo()); }

}  // namespace orv
