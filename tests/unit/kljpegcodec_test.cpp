// JPEG files through libjpeg with the framework's error handling.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "skin/KLJpegCodec.h"

using namespace orv;

namespace {

// A smooth 24-bit picture in DIB order: red across, green down, blue constant.
TBmpImage Gradient(int32_t w, int32_t h) {
  TBmpImage image;
  image.Width = w;
  image.Height = h;
  image.BitCount = 24;
  const int64_t stride = BmpStride(w, 24);
  image.Pixels.assign(static_cast<size_t>(stride * h), 0);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      uint8_t* p = image.Pixels.data() + stride * (h - 1 - y) + 3 * x;
      p[0] = 96;
      p[1] = static_cast<uint8_t>(y * 255 / (h - 1));
      p[2] = static_cast<uint8_t>(x * 255 / (w - 1));
    }
  return image;
}

int MaxChannelDifference(const TBmpImage& a, const TBmpImage& b) {
  int worst = 0;
  for (int32_t y = 0; y < a.Height; ++y)
    for (int32_t x = 0; x < a.Width; ++x) {
      const uint32_t ca = BmpPixelColor(a.View(), x, y), cb = BmpPixelColor(b.View(), x, y);
      for (int shift : {0, 8, 16})
        worst =
            std::max(worst, std::abs(static_cast<int>((ca >> shift) & 255) - static_cast<int>((cb >> shift) & 255)));
    }
  return worst;
}

TEST(JpegCodec, EncodedPictureDecodesToTheSameSizeAndCloseColours) {
  const TBmpImage source = Gradient(61, 37);
  const std::vector<uint8_t> jfif = EncodeJpeg(source.View(), 90);
  ASSERT_GT(jfif.size(), 20u);
  EXPECT_EQ(jfif[0], 0xFF);
  EXPECT_EQ(jfif[1], 0xD8);
  EXPECT_EQ(std::string(jfif.begin() + 6, jfif.begin() + 11), std::string("JFIF\0", 5));
  EXPECT_EQ(jfif[jfif.size() - 2], 0xFF);
  EXPECT_EQ(jfif.back(), 0xD9);

  const TBmpImage back = DecodeJpeg(jfif.data(), jfif.size());
  EXPECT_EQ(back.Width, 61);
  EXPECT_EQ(back.Height, 37);
  EXPECT_EQ(back.BitCount, 24);
  ASSERT_EQ(back.Pixels.size(), source.Pixels.size());
  EXPECT_LE(MaxChannelDifference(source, back), 16);
}

TEST(JpegCodec, PalettedPicturesAreEncodedThroughTheirColours) {
  TBmpImage image;
  image.Width = 16;
  image.Height = 16;
  image.BitCount = 4;
  image.Palette = {TBmpColor{0, 0, 255}, TBmpColor{255, 0, 0}};
  image.Pixels.assign(static_cast<size_t>(BmpStride(16, 4) * 16), 0x00);
  const std::vector<uint8_t> jfif = EncodeJpeg(image.View(), 95);
  const TBmpImage back = DecodeJpeg(jfif.data(), jfif.size());
  const uint32_t red = BmpPixelColor(back.View(), 8, 8);
  EXPECT_GE(red & 255, 247u);
  EXPECT_LE((red >> 8) & 255, 8u);
  EXPECT_LE((red >> 16) & 255, 8u);
}

TEST(JpegCodec, DamagedDataRaisesTheFrameworkError) {
  const TBmpImage source = Gradient(32, 24);
  std::vector<uint8_t> jfif = EncodeJpeg(source.View(), 80);
  EXPECT_THROW(DecodeJpeg(nullptr, 0), EInvalidGraphic);
  EXPECT_THROW(DecodeJpeg(jfif.data(), jfif.size() / 2), EInvalidGraphic);
  // Only the end marker missing: still cut short.
  EXPECT_THROW(DecodeJpeg(jfif.data(), jfif.size() - 2), EInvalidGraphic);
  const std::vector<uint8_t> text = {'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'e', 'g'};
  try {
    DecodeJpeg(text.data(), text.size());
    FAIL() << "decoded text";
  } catch (const EInvalidGraphic& e) {
    EXPECT_NE(e.Message().find("JPEG"), std::string::npos) << e.Message();
  }
  // Entropy-coded data overwritten: a warning in libjpeg, a damaged picture here.
  std::vector<uint8_t> scrambled = jfif;
  for (size_t i = scrambled.size() - 200; i < scrambled.size() - 2; ++i) scrambled[i] = static_cast<uint8_t>(i * 37);
  EXPECT_THROW(DecodeJpeg(scrambled.data(), scrambled.size()), EInvalidGraphic);
  EXPECT_THROW(EncodeJpeg(TBmpPixels{}, 90), EInvalidGraphic);
}

TEST(JpegCodec, HugeDeclaredSizeIsRefusedBeforeDecoding) {
  std::vector<uint8_t> jfif = EncodeJpeg(Gradient(8, 8).View(), 80);
  size_t sof = 2;
  while (sof + 9 < jfif.size() && !(jfif[sof] == 0xFF && jfif[sof + 1] == 0xC0)) ++sof;
  ASSERT_LT(sof + 9, jfif.size());
  // Height at +5, width at +7, both big-endian: 60000 x 60000.
  for (size_t at : {sof + 5, sof + 7}) jfif[at] = 0xEA, jfif[at + 1] = 0x60;
  try {
    DecodeJpeg(jfif.data(), jfif.size());
    FAIL() << "decoded a 60000 x 60000 picture";
  } catch (const EInvalidGraphic& e) {
    EXPECT_NE(e.Message().find("too large"), std::string::npos) << e.Message();
  }
}

}  // namespace
