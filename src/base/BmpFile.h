#pragma once
// The BMP file format: a reader that trusts no length in the file and a writer. Pixels are kept
// as a device-independent bitmap keeps them in memory (rows bottom-up, each padded to 4 bytes),
// so that they can go into a DIB section as they are.
#include <cstdint>
#include <vector>

#include "base/Exceptions.h"
#include "base/Streams.h"

namespace orv {

// A picture's data cannot be used (damaged, or a kind this program does not read).
class EInvalidGraphic : public Exception {
  using Exception::Exception;
};

// RGBQUAD's byte order.
struct TBmpColor {
  uint8_t Blue = 0;
  uint8_t Green = 0;
  uint8_t Red = 0;
  uint8_t Reserved = 0;
  friend bool operator==(const TBmpColor&, const TBmpColor&) = default;
};

// Borrowed pixels of one image, in DIB memory order.
struct TBmpPixels {
  const uint8_t* Bits = nullptr;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t BitCount = 24;  // 1, 4, 8, 16, 24 or 32
  bool Rgb565 = false;    // 16 bits: 5-6-5 rather than 5-5-5
  const TBmpColor* Palette = nullptr;
  int32_t PaletteCount = 0;
};

struct TBmpImage {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t BitCount = 24;
  bool Rgb565 = false;
  std::vector<TBmpColor> Palette;  // 1, 4 and 8 bits only
  std::vector<uint8_t> Pixels;     // Height rows of BmpStride(Width, BitCount) bytes, bottom row first

  TBmpPixels View() const;
};

// Bytes in one row, padded to a multiple of 4.
int64_t BmpStride(int64_t width, int32_t bitCount);

// Reads one BMP file from the stream's position and leaves the position after its pixels.
// Raises EInvalidGraphic for anything damaged or unsupported (core headers, odd bit masks).
TBmpImage ReadBmp(TStream& stream);
// Writes a BMP file: bottom-up rows unless TopDown; 5-6-5 pixels with bit fields.
void WriteBmp(TStream& stream, const TBmpImage& image, bool topDown = false);

// The colour of pixel (X, Y), Y counted from the top, as 0x00BBGGRR; a palette index beyond the
// palette reads as black.
uint32_t BmpPixelColor(const TBmpPixels& image, int32_t x, int32_t y);
// A monochrome mask of Image (DIB memory order, 1 bit per pixel, BmpStride(Width, 1) per row):
// bit set where the pixel has Color.
std::vector<uint8_t> BmpColorMask(const TBmpPixels& image, uint32_t color);

}  // namespace orv
