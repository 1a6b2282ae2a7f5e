#pragma once
// The bitmap graphic: a DIB section with a canvas of its own, read from and written to BMP
// files; and the transparent stretch copy through a monochrome mask.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/BmpFile.h"
#include "gui/Graphics.h"

namespace orv {

enum TPixelFormat : uint8_t { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
// The identifiers of the pixel formats, by ordinal (for published properties).
const std::vector<std::string>& PixelFormatNames();

class TBitmap : public TGraphic {
  ORV_CLASSINFO(TBitmap)

public:
  TBitmap();
  ~TBitmap() override;

  bool Empty() const override { return !handle_; }
  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }
  // Resizing keeps the pixels that still fit; new pixels are black. A size of 0 empties it.
  void SetWidth(int32_t value) override { SetSize(value, height_); }
  void SetHeight(int32_t value) override { SetSize(width_, value); }
  void SetSize(int32_t width, int32_t height);
  // pfDevice gives pf24bit; pfCustom is refused. Pixels are converted by GDI; the paletted
  // formats get a standard palette (black and white, the 16 VGA colours, or a colour cube).
  TPixelFormat PixelFormat() const { return pixelFormat_; }
  void SetPixelFormat(TPixelFormat value);
  const std::vector<TBmpColor>& Palette() const { return palette_; }

  // Drawing on the bitmap; the canvas lives as long as the bitmap.
  TCanvas& Canvas();
  // Borrowed; valid until the size or pixel format changes.
  HBITMAP Handle() const { return static_cast<HBITMAP>(handle_.Get()); }
  // Row Y of the pixels (0 is the top), in the pixel format's own layout.
  uint8_t* ScanLine(int32_t y);
  // Turns the bitmap into a monochrome (pf1bit, black and white) mask: white where the
  // pixel had Color, black elsewhere.
  void Mask(TColor color);

  void Assign(const TPersistent* source) override;
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  void Draw(TCanvas& canvas, const TRect& rect) override;

private:
  class TBitmapCanvas;
  struct TDib;

  void Replace(TDib dib);
  TBmpPixels Pixels();

  TOwnedGdiObject handle_;
  uint8_t* bits_ = nullptr;
  int32_t width_ = 0;
  int32_t height_ = 0;
  TPixelFormat pixelFormat_ = pf24bit;
  std::vector<TBmpColor> palette_;
  // Declared last so that it goes first, while the bitmap it keeps selected still exists.
  std::unique_ptr<TBitmapCanvas> canvas_;
};

// Copies Source's (SX, SY, SW, SH) onto Dest's (X, Y, W, H), stretching, except where the
// monochrome Mask, read at (MX, MY) with the source's size, is white: there Dest stays as it
// was. Made of BitBlt and StretchBlt raster operations only, which both Windows families have.
void TransparentStretchBlt(HDC dest, int32_t x, int32_t y, int32_t w, int32_t h, HDC source, int32_t sx, int32_t sy,
                           int32_t sw, int32_t sh, HDC mask, int32_t mx, int32_t my);
// The same on canvases and bitmaps: SourceRect of Source (and the same place of Mask) onto
// DestRect of Dest.
void TransparentStretchCopy(TCanvas& dest, const TRect& destRect, TBitmap& source, const TRect& sourceRect,
                            TBitmap& mask);

}  // namespace orv
