#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "bitmaps_env.h"
#include "gui/Bitmaps.h"
#include "test_files.h"

using namespace orv;

namespace {

using guitest::Fill;
using testsupport::Load;
std::string Save(TBitmap& b) { return testsupport::Saved(b); }

TBmpImage RandomImage(int32_t bitCount, bool rgb565, uint32_t seed) {
  std::mt19937 rng(seed);
  TBmpImage image;
  image.Width = 11;
  image.Height = 3;
  image.BitCount = bitCount;
  image.Rgb565 = rgb565;
  if (bitCount <= 8)
    for (int i = 0; i < (1 << bitCount); ++i)
      image.Palette.push_back(
          {static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()), 0});
  image.Pixels.resize(static_cast<size_t>(BmpStride(11, bitCount) * 3));
  for (uint8_t& b : image.Pixels) b = static_cast<uint8_t>(rng());
  return image;
}

}  // namespace

TEST(Bitmap, BmpFilesOfEveryDepthLoadAsTheyReadAndSaveBack) {
  const struct {
    int32_t Bits;
    bool Rgb565;
    TPixelFormat Format;
  } layouts[] = {{1, false, pf1bit},  {4, false, pf4bit},   {8, false, pf8bit},  {16, false, pf15bit},
                 {16, true, pf16bit}, {24, false, pf24bit}, {32, false, pf32bit}};
  for (const auto& l : layouts)
    for (bool topDown : {false, true}) {
      SCOPED_TRACE(testing::Message() << l.Bits << (l.Rgb565 ? " 565" : "") << (topDown ? " top-down" : ""));
      TBmpImage image = RandomImage(l.Bits, l.Rgb565, l.Bits);
      if (l.Bits == 32)
        for (size_t i = 3; i < image.Pixels.size(); i += 4) image.Pixels[i] = 0;
      TMemoryStream file;
      WriteBmp(file, image, topDown);
      TBitmap b;
      Load(b, file.ToString());
      ASSERT_EQ(b.PixelFormat(), l.Format);
      ASSERT_EQ(b.Width(), 11);
      ASSERT_EQ(b.Height(), 3);
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 11; ++x)
          ASSERT_EQ(static_cast<uint32_t>(b.Canvas().Pixels(x, y)), BmpPixelColor(image.View(), x, y)) << x << "," << y;
      TMemoryStream bottomUp;
      WriteBmp(bottomUp, image);
      const std::string saved = Save(b);
      EXPECT_EQ(saved, bottomUp.ToString()) << "the same header, palette and rows";
      TBitmap back;
      Load(back, saved);
      EXPECT_EQ(back.PixelFormat(), l.Format);
      EXPECT_EQ(Save(back), saved);
    }
}

TEST(Bitmap, ResizingKeepsThePixelsThatStillFit) {
  TBitmap b;
  b.SetSize(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) b.Canvas().SetPixels(x, y, RGB(x * 40 + 10, y * 40 + 10, 99));
  b.SetSize(2, 6);
  b.SetWidth(5);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 5; ++x) {
      const TColor expected = x < 2 && y < 4 ? RGB(x * 40 + 10, y * 40 + 10, 99) : clBlack;
      ASSERT_EQ(b.Canvas().Pixels(x, y), expected) << x << "," << y;
    }

  // Sub-byte formats: pixels cut off and grown back come back black, not as they were.
  TBitmap mono;
  mono.SetPixelFormat(pf1bit);
  Fill(mono, 9, 2, clWhite);
  mono.SetWidth(3);
  mono.SetWidth(9);
  for (int x = 0; x < 9; ++x) EXPECT_EQ(mono.Canvas().Pixels(x, 1), x < 3 ? clWhite : clBlack) << x;
}

TEST(Bitmap, PixelFormatChangesKeepColoursTheNewFormatHas) {
  TBitmap b;
  Fill(b, 3, 1, clRed);
  b.Canvas().SetPixels(1, 0, clLime);
  b.Canvas().SetPixels(2, 0, clFuchsia);
  for (TPixelFormat pf : {pf8bit, pf4bit, pf32bit, pf16bit, pf24bit}) {
    b.SetPixelFormat(pf);
    EXPECT_EQ(b.PixelFormat(), pf);
    EXPECT_EQ(b.Canvas().Pixels(0, 0), clRed) << static_cast<int>(pf);
    EXPECT_EQ(b.Canvas().Pixels(1, 0), clLime) << static_cast<int>(pf);
    EXPECT_EQ(b.Canvas().Pixels(2, 0), clFuchsia) << static_cast<int>(pf);
  }
  b.SetPixelFormat(pfDevice);
  EXPECT_EQ(b.PixelFormat(), pf24bit);
  EXPECT_THROW(b.SetPixelFormat(pfCustom), EInvalidGraphicOperation);
}

TEST(Bitmap, MaskIsWhiteExactlyWhereTheColourWas) {
  for (TPixelFormat pf : {pf24bit, pf8bit, pf16bit, pf32bit}) {
    SCOPED_TRACE(static_cast<int>(pf));
    TBitmap b;
    b.SetPixelFormat(pf);
    Fill(b, 12, 5, clBlue);
    const std::pair<int, int> keyed[] = {{0, 0}, {11, 0}, {5, 2}, {8, 4}, {9, 4}};
    for (auto [x, y] : keyed) b.Canvas().SetPixels(x, y, clFuchsia);
    // Near magenta is not magenta, where the format can tell them apart.
    if (pf != pf8bit) b.Canvas().SetPixels(1, 0, RGB(240, 0, 255));
    b.Mask(clFuchsia);
    ASSERT_EQ(b.PixelFormat(), pf1bit);
    ASSERT_EQ(b.Width(), 12);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 12; ++x) {
        const bool key = std::find(std::begin(keyed), std::end(keyed), std::make_pair(x, y)) != std::end(keyed);
        ASSERT_EQ(b.Canvas().Pixels(x, y), key ? clWhite : clBlack) << x << "," << y;
      }
  }
}

TEST(Bitmap, AssignCopiesAndADamagedFileLeavesTheBitmapAsItWas) {
  TBitmap a;
  a.SetPixelFormat(pf8bit);
  Fill(a, 5, 5, clRed);
  TBitmap copy;
  copy.Assign(&a);
  a.Canvas().SetPixels(0, 0, clLime);
  EXPECT_EQ(copy.PixelFormat(), pf8bit);
  EXPECT_EQ(copy.Canvas().Pixels(0, 0), clRed);
  EXPECT_EQ(copy.Palette(), a.Palette());

  std::string file = Save(copy);
  file[28] = 3;  // three bits per pixel
  EXPECT_THROW(Load(copy, file), EInvalidGraphic);
  EXPECT_THROW(Load(copy, Save(a).substr(0, 60)), EInvalidGraphic);
  EXPECT_EQ(copy.Width(), 5);
  EXPECT_EQ(copy.Canvas().Pixels(4, 4), clRed);

  copy.Assign(nullptr);
  EXPECT_TRUE(copy.Empty());
  EXPECT_EQ(Save(copy), "");
  Load(copy, "");
  EXPECT_TRUE(copy.Empty());
}

TEST(Bitmap, TransparentStretchCopyLeavesTheDestinationWhereTheMaskIsSet) {
  // Source 4 x 4: magenta on the diagonal and in the top right corner, elsewhere colours that an
  // 8-bit destination's palette has too.
  TBitmap src;
  src.SetSize(4, 4);
  auto keyed = [](int x, int y) { return x == y || (x >= 2 && y == 0); };
  const TColor colours[] = {clRed,   clLime,           clBlue,           clGray,
                            clBlack, RGB(128, 0, 128), RGB(0, 128, 128), RGB(128, 128, 0)};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) src.Canvas().SetPixels(x, y, keyed(x, y) ? clFuchsia : colours[(x + 2 * y) % 8]);
  TBitmap mask;
  mask.Assign(&src);
  mask.Mask(clFuchsia);

  for (TPixelFormat destFormat : {pf24bit, pf32bit, pf8bit}) {
    SCOPED_TRACE(static_cast<int>(destFormat));
    TBitmap dst;
    dst.SetPixelFormat(destFormat);
    dst.SetSize(10, 10);
    const TColor vga[] = {clMaroon, clGreen, clNavy, clSilver, clAqua, clYellow, clWhite};
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x) dst.Canvas().SetPixels(x, y, vga[(x + 3 * y) % 7]);
    TBitmap before;
    before.Assign(&dst);

    // The whole source doubled onto (1, 1); then the source's right half at its own size onto
    // (5, 0), where the mask must be read at the same source point.
    TransparentStretchCopy(dst.Canvas(), {1, 1, 9, 9}, src, {0, 0, 4, 4}, mask);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x) {
        const bool inside = x >= 1 && x < 9 && y >= 1 && y < 9;
        const int sx = (x - 1) / 2, sy = (y - 1) / 2;
        const TColor expected = inside && !keyed(sx, sy) ? src.Canvas().Pixels(sx, sy) : before.Canvas().Pixels(x, y);
        ASSERT_EQ(dst.Canvas().Pixels(x, y), expected) << x << "," << y;
      }

    before.Assign(&dst);
    TransparentStretchCopy(dst.Canvas(), {5, 0, 7, 4}, src, {2, 0, 4, 4}, mask);
    for (int y = 0; y < 4; ++y)
      for (int x = 5; x < 7; ++x) {
        const int sx = x - 5 + 2, sy = y;
        const TColor expected = keyed(sx, sy) ? before.Canvas().Pixels(x, y) : src.Canvas().Pixels(sx, sy);
        ASSERT_EQ(dst.Canvas().Pixels(x, y), expected) << x << "," << y;
      }
  }
}
