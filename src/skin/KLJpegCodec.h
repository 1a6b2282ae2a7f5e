#pragma once
// JPEG pictures through libjpeg: a whole JFIF file in memory decoded into 24-bit pixels, and
// pixels encoded into one. Every libjpeg error, and every warning (corrupt data, a premature
// end), raises EInvalidGraphic: damaged data gives no picture, never half of one, and never
// ends the process as libjpeg's own error handler would.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/BmpFile.h"

namespace orv {

// Larger pictures are taken for damaged headers (96 MB of pixels at 24 bits).
inline constexpr int64_t JpegMaxPixels = int64_t{1} << 25;

// Decodes a JPEG file into 24 bits per pixel in DIB order (bottom row first, blue, green,
// red). Raises EInvalidGraphic for damaged, truncated or unsupported data and for pictures
// of more than JpegMaxPixels.
TBmpImage DecodeJpeg(const uint8_t* data, size_t size);
// A baseline JFIF file of Image at Quality (1 to 100).
std::vector<uint8_t> EncodeJpeg(const TBmpPixels& image, int quality);

}  // namespace orv
