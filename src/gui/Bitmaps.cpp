#include <windows.h>

#include "gui/Bitmaps.h"

#include <algorithm>
#include <cstring>

namespace orv {

namespace {

// Bytes a single bitmap may take; anything larger is a damaged size, not a picture.
constexpr int64_t kMaxPixelBytes = int64_t{256} << 20;
// D and not S: clears the destination where the source (a mask) is white.
constexpr DWORD kRopDSna = 0x00220326;

int32_t BitCountOf(TPixelFormat pf) {
  switch (pf) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf32bit: return 32;
    default: return 24;
  }
}

TPixelFormat FormatOf(const TBmpImage& image) {
  switch (image.BitCount) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return image.Rgb565 ? pf16bit : pf15bit;
    case 32: return pf32bit;
    default: return pf24bit;
  }
}

TBmpColor Rgb(uint8_t r, uint8_t g, uint8_t b) { return TBmpColor{b, g, r, 0}; }

const std::vector<TBmpColor>& VgaColors() {
  static const std::vector<TBmpColor> colors = {
      Rgb(0, 0, 0),     Rgb(128, 0, 0),     Rgb(0, 128, 0),     Rgb(128, 128, 0),  Rgb(0, 0, 128), Rgb(128, 0, 128),
      Rgb(0, 128, 128), Rgb(192, 192, 192), Rgb(128, 128, 128), Rgb(255, 0, 0),    Rgb(0, 255, 0), Rgb(255, 255, 0),
      Rgb(0, 0, 255),   Rgb(255, 0, 255),   Rgb(0, 255, 255),   Rgb(255, 255, 255)};
  return colors;
}

std::vector<TBmpColor> DefaultPalette(TPixelFormat pf) {
  switch (pf) {
    case pf1bit: return {Rgb(0, 0, 0), Rgb(255, 255, 255)};
    case pf4bit: return VgaColors();
    case pf8bit: {
      std::vector<TBmpColor> colors = VgaColors();
      for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
          for (int b = 0; b < 6; ++b)
            colors.push_back(
                Rgb(static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51), static_cast<uint8_t>(b * 51)));
      for (int i = 1; colors.size() < 256; ++i) colors.push_back(Rgb(i * 10, i * 10, i * 10));
      return colors;
    }
    default: return {};
  }
}

int64_t StrideOf(int32_t width, TPixelFormat pf) { return BmpStride(width, BitCountOf(pf)); }

}  // namespace

const std::vector<std::string>& PixelFormatNames() {
  static const std::vector<std::string> names = {"pfDevice", "pf1bit",  "pf4bit",  "pf8bit",  "pf15bit",
                                                 "pf16bit",  "pf24bit", "pf32bit", "pfCustom"};
  return names;
}

struct TBitmap::TDib {
  TOwnedGdiObject Handle;
  uint8_t* Bits = nullptr;
  int32_t Width = 0;
  int32_t Height = 0;
  TPixelFormat Format = pf24bit;
  std::vector<TBmpColor> Palette;

  static TDib Make(int32_t width, int32_t height, TPixelFormat pf, std::vector<TBmpColor> palette) {
    TDib dib;
    dib.Format = pf;
    dib.Palette = std::move(palette);
    if (width <= 0 || height <= 0) return dib;
    if (StrideOf(width, pf) * height > kMaxPixelBytes) throw EOutOfResources("Bitmap too large");
    struct {
      BITMAPINFOHEADER Header;
      RGBQUAD Colors[256];
    } info{};
    info.Header.biSize = sizeof info.Header;
    info.Header.biWidth = width;
    info.Header.biHeight = height;
    info.Header.biPlanes = 1;
    info.Header.biBitCount = static_cast<WORD>(BitCountOf(pf));
    info.Header.biCompression = pf == pf16bit ? BI_BITFIELDS : BI_RGB;
    info.Header.biClrUsed = static_cast<DWORD>(dib.Palette.size());
    if (pf == pf16bit) {
      const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
      std::memcpy(info.Colors, masks, sizeof masks);
    }
    std::copy_n(dib.Palette.begin(), std::min<size_t>(dib.Palette.size(), 256),
                reinterpret_cast<TBmpColor*>(info.Colors));
    void* bits = nullptr;
    dib.Handle.Reset(
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib.Handle || !bits) throw EOutOfResources("Out of system resources");
    dib.Bits = static_cast<uint8_t*>(bits);
    dib.Width = width;
    dib.Height = height;
    std::memset(dib.Bits, 0, static_cast<size_t>(StrideOf(width, pf) * height));
    return dib;
  }
};

// Keeps the bitmap selected into a memory DC of its own while the canvas has a handle.
class TBitmap::TBitmapCanvas : public TCanvas {
public:
  explicit TBitmapCanvas(TBitmap& owner) : owner_(owner) {}
  ~TBitmapCanvas() override { FreeHandle(); }

  void FreeHandle() override {
    if (old_ && HandleAllocated()) SelectObject(Handle(), old_);
    old_ = nullptr;
    TCanvas::FreeHandle();
  }

protected:
  void CreateHandle() override {
    TOwnedMemoryDC dc(CreateCompatibleDC(nullptr));
    if (dc && owner_.handle_) old_ = SelectObject(dc.Get(), owner_.handle_.Get());
    AdoptHandle(std::move(dc));
  }

private:
  TBitmap& owner_;
  HGDIOBJ old_ = nullptr;
};

const TClassInfo& TBitmap::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TBitmap>("TBitmap", &TGraphic::StaticClassInfo()).Info();
  return info;
}

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() = default;

void TBitmap::Replace(TDib dib) {
  if (canvas_) canvas_->FreeHandle();
  handle_ = std::move(dib.Handle);
  bits_ = dib.Bits;
  width_ = dib.Width;
  height_ = dib.Height;
  pixelFormat_ = dib.Format;
  palette_ = std::move(dib.Palette);
  Changed();
}

TBmpPixels TBitmap::Pixels() {
  GdiFlush();
  return TBmpPixels{bits_,
                    width_,
                    height_,
                    BitCountOf(pixelFormat_),
                    pixelFormat_ == pf16bit,
                    palette_.data(),
                    static_cast<int32_t>(palette_.size())};
}

void TBitmap::SetSize(int32_t width, int32_t height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  TDib dib = TDib::Make(width, height, pixelFormat_, palette_);
  if (dib.Bits && bits_) {
    GdiFlush();
    const int64_t oldStride = StrideOf(width_, pixelFormat_);
    const int64_t newStride = StrideOf(width, pixelFormat_);
    const int64_t keptBits = int64_t{std::min(width, width_)} * BitCountOf(pixelFormat_);
    const size_t fullBytes = static_cast<size_t>(keptBits / 8);
    const int partBits = static_cast<int>(keptBits % 8);
    for (int32_t y = 0; y < std::min(height, height_); ++y) {
      const uint8_t* from = bits_ + oldStride * (height_ - 1 - y);
      uint8_t* to = dib.Bits + newStride * (height - 1 - y);
      std::memcpy(to, from, fullBytes);
      if (partBits) to[fullBytes] = from[fullBytes] & static_cast<uint8_t>(0xFF << (8 - partBits));
    }
  }
  Replace(std::move(dib));
}

void TBitmap::SetPixelFormat(TPixelFormat value) {
  if (value == pfCustom) throw EInvalidGraphicOperation("Invalid pixel format");
  if (value == pfDevice) value = pf24bit;
  if (value == pixelFormat_) return;
  TDib dib = TDib::Make(width_, height_, value, DefaultPalette(value));
  if (dib.Handle) {
    TOwnedMemoryDC dc(CreateCompatibleDC(nullptr));
    TSelectObject select(dc.Get(), dib.Handle.Get());
    BitBlt(dc.Get(), 0, 0, width_, height_, Canvas().Handle(), 0, 0, SRCCOPY);
  }
  Replace(std::move(dib));
}

TCanvas& TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TBitmapCanvas>(*this);
  return *canvas_;
}

uint8_t* TBitmap::ScanLine(int32_t y) {
  if (y < 0 || y >= height_) throw EInvalidGraphicOperation("Scan line index out of range");
  GdiFlush();
  return bits_ + StrideOf(width_, pixelFormat_) * (height_ - 1 - y);
}

void TBitmap::Mask(TColor color) {
  TDib dib = TDib::Make(width_, height_, pf1bit, DefaultPalette(pf1bit));
  if (dib.Bits) {
    const std::vector<uint8_t> mask = BmpColorMask(Pixels(), ColorToRGB(color));
    std::memcpy(dib.Bits, mask.data(), mask.size());
  }
  Replace(std::move(dib));
}

void TBitmap::Assign(const TPersistent* source) {
  if (!source) return Replace(TDib::Make(0, 0, pixelFormat_, palette_));
  auto* other = dynamic_cast<const TBitmap*>(source);
  if (!other) return TGraphic::Assign(source);
  if (other == this) return;
  TDib dib = TDib::Make(other->width_, other->height_, other->pixelFormat_, other->palette_);
  if (dib.Bits) {
    GdiFlush();
    std::memcpy(dib.Bits, other->bits_,
                static_cast<size_t>(StrideOf(other->width_, other->pixelFormat_) * other->height_));
  }
  Replace(std::move(dib));
}

void TBitmap::LoadFromStream(TStream& stream) {
  if (stream.Size() <= stream.Position()) return Replace(TDib::Make(0, 0, pixelFormat_, palette_));
  TBmpImage image = ReadBmp(stream);
  TDib dib = TDib::Make(image.Width, image.Height, FormatOf(image), std::move(image.Palette));
  std::memcpy(dib.Bits, image.Pixels.data(), image.Pixels.size());
  Replace(std::move(dib));
}

void TBitmap::SaveToStream(TStream& stream) {
  if (Empty()) return;
  TBmpImage image;
  image.Width = width_;
  image.Height = height_;
  image.BitCount = BitCountOf(pixelFormat_);
  image.Rgb565 = pixelFormat_ == pf16bit;
  image.Palette = palette_;
  const TBmpPixels pixels = Pixels();
  image.Pixels.assign(pixels.Bits, pixels.Bits + StrideOf(width_, pixelFormat_) * height_);
  WriteBmp(stream, image);
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) {
  if (Empty()) return;
  HDC dc = canvas.Handle();
  const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top, Canvas().Handle(), 0, 0, width_,
             height_, canvas.CopyMode());
  SetStretchBltMode(dc, oldMode);
}

void TransparentStretchBlt(HDC dest, int32_t x, int32_t y, int32_t w, int32_t h, HDC source, int32_t sx, int32_t sy,
                           int32_t sw, int32_t sh, HDC mask, int32_t mx, int32_t my) {
  if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
  TOwnedMemoryDC work(CreateCompatibleDC(dest));
  TOwnedGdiObject bitmap(CreateCompatibleBitmap(dest, w, h));
  if (!work || !bitmap) throw EOutOfResources("Out of system resources");
  TSelectObject select(work.Get(), bitmap.Get());
  HDC dc = work.Get();
  SetStretchBltMode(dc, COLORONCOLOR);
  // A monochrome mask blitted onto colour gives black for 0 bits and white for 1 bits.
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
  // work = (source ^ dest) & ~mask, then dest ^= work: dest becomes the source where the mask
  // is black and stays itself where it is white.
  StretchBlt(dc, 0, 0, w, h, source, sx, sy, sw, sh, SRCCOPY);
  BitBlt(dc, 0, 0, w, h, dest, x, y, SRCINVERT);
  StretchBlt(dc, 0, 0, w, h, mask, mx, my, sw, sh, kRopDSna);
  BitBlt(dest, x, y, w, h, dc, 0, 0, SRCINVERT);
}

void TransparentStretchCopy(TCanvas& dest, const TRect& destRect, TBitmap& source, const TRect& sourceRect,
                            TBitmap& mask) {
  TransparentStretchBlt(dest.Handle(), destRect.Left, destRect.Top, destRect.Right - destRect.Left,
                        destRect.Bottom - destRect.Top, source.Canvas().Handle(), sourceRect.Left, sourceRect.Top,
                        sourceRect.Right - sourceRect.Left, sourceRect.Bottom - sourceRect.Top, mask.Canvas().Handle(),
                        sourceRect.Left, sourceRect.Top);
}

}  // namespace orv
