#pragma once
// Small run-length compressed BMP files, written byte by byte, whose pixels are known: for
// the reader's tests and the damaged-input sweep.
#include <cstdint>
#include <string>
#include <vector>

namespace orv::test {

// A BMP file of Width x Height at BitCount (8: RLE8, 4: RLE4) with a palette of Colours
// entries and Data as its compressed pixels; SizeImage as the header gives it (0: not given).
inline std::string RleBmp(int32_t width, int32_t height, int bitCount, const std::vector<uint8_t>& data,
                          uint32_t colours = 8, bool sizeGiven = true) {
  std::string f;
  auto put = [&f](uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) f.push_back(static_cast<char>(v >> (8 * i)));
  };
  const uint32_t offBits = 14 + 40 + 4 * colours;
  f += "BM";
  put(offBits + static_cast<uint32_t>(data.size()), 4);
  put(0, 4);
  put(offBits, 4);
  put(40, 4);
  put(static_cast<uint32_t>(width), 4);
  put(static_cast<uint32_t>(height), 4);
  put(1, 2);
  put(static_cast<uint32_t>(bitCount), 2);
  put(bitCount == 8 ? 1 : 2, 4);
  put(sizeGiven ? static_cast<uint32_t>(data.size()) : 0, 4);
  put(0, 4);
  put(0, 4);
  put(colours, 4);
  put(0, 4);
  for (uint32_t i = 0; i < colours; ++i) put(0x00102030u * (i + 1) & 0xFFFFFF, 4);
  f.append(data.begin(), data.end());
  return f;
}

// 5 x 3 at 8 bits: runs, a run of literals (padded to a word), an end of line, a move within
// the picture and the end mark before the last row's start. Rows bottom up, as in memory:
//   [1 1 2 0 1] [2 0 0 0 0] [0 0 0 1 1]
inline const std::vector<uint8_t> kRle8Data = {0x02, 0x01, 0x00, 0x03, 0x02, 0x00, 0x01, 0x00, 0x00, 0x00,
                                               0x01, 0x02, 0x00, 0x02, 0x02, 0x01, 0x02, 0x01, 0x00, 0x01};
inline const std::vector<uint8_t> kRle8Rows = {1, 1, 2, 0, 1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0};

// 5 x 2 at 4 bits: a run alternating its byte's two pixels, literals of an odd count, a run:
//   [1 2 1 2 1] [3 4 5 6 7]
inline const std::vector<uint8_t> kRle4Data = {0x05, 0x12, 0x00, 0x00, 0x00, 0x03, 0x34, 0x50, 0x02, 0x67, 0x00, 0x01};
inline const std::vector<uint8_t> kRle4Rows = {0x12, 0x12, 0x10, 0x00, 0x34, 0x56, 0x70, 0x00};

}  // namespace orv::test
