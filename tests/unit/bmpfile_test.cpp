#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "base/BmpFile.h"
#include "unit/rle_bmp.h"

using namespace orv;
using orv::test::RleBmp;

namespace {

struct Layout {
  int32_t BitCount;
  bool Rgb565;
};
const Layout kLayouts[] = {{1, false}, {4, false}, {8, false}, {16, false}, {16, true}, {24, false}, {32, false}};

TBmpImage RandomImage(Layout layout, int32_t width, int32_t height, uint32_t seed) {
  std::mt19937 rng(seed);
  TBmpImage image;
  image.Width = width;
  image.Height = height;
  image.BitCount = layout.BitCount;
  image.Rgb565 = layout.Rgb565;
  if (layout.BitCount <= 8)
    for (int i = 0; i < (1 << layout.BitCount); ++i)
      image.Palette.push_back(
          {static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()), 0});
  image.Pixels.resize(static_cast<size_t>(BmpStride(width, layout.BitCount) * height));
  for (uint8_t& b : image.Pixels) b = static_cast<uint8_t>(rng());
  return image;
}

std::string Encode(const TBmpImage& image, bool topDown = false) {
  TMemoryStream s;
  WriteBmp(s, image, topDown);
  return s.ToString();
}

TBmpImage Decode(const std::string& bytes) {
  TMemoryStream s(bytes);
  return ReadBmp(s);
}

void Put32(std::string& bytes, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
}
void Put16(std::string& bytes, size_t at, uint16_t v) {
  bytes[at] = static_cast<char>(v);
  bytes[at + 1] = static_cast<char>(v >> 8);
}

// Whatever a damaged file gives: the framework's error, or an image whose sizes agree with
// its pixels (every pixel is read, so the sanitizers see any stray access). Answers whether it raised.
bool RaisesOrConsistent(const std::string& bytes) {
  try {
    TBmpImage image = Decode(bytes);
    EXPECT_EQ(static_cast<int64_t>(image.Pixels.size()), BmpStride(image.Width, image.BitCount) * image.Height);
    EXPECT_LE(image.Palette.size(), image.BitCount <= 8 ? size_t{1} << image.BitCount : 0);
    uint32_t sum = 0;
    for (int32_t y = 0; y < image.Height; ++y)
      for (int32_t x = 0; x < image.Width; ++x) sum += BmpPixelColor(image.View(), x, y);
    (void)sum;
  } catch (const EInvalidGraphic&) {
    return true;
  }
  return false;
}

}  // namespace

TEST(BmpFile, EveryLayoutRoundTripsBottomUpAndTopDown) {
  for (Layout layout : kLayouts)
    for (bool topDown : {false, true}) {
      SCOPED_TRACE(testing::Message() << layout.BitCount << (layout.Rgb565 ? " 565" : "")
                                      << (topDown ? " top-down" : ""));
      const TBmpImage image = RandomImage(layout, 13, 5, layout.BitCount);
      const TBmpImage back = Decode(Encode(image, topDown));
      EXPECT_EQ(back.Width, 13);
      EXPECT_EQ(back.Height, 5);
      EXPECT_EQ(back.BitCount, layout.BitCount);
      EXPECT_EQ(back.Rgb565, layout.Rgb565);
      EXPECT_EQ(back.Palette, image.Palette);
      EXPECT_EQ(back.Pixels, image.Pixels);
    }
}

TEST(BmpFile, WritesTheStandardHeaderAndLeavesTheStreamAfterThePixels) {
  TBmpImage image = RandomImage({24, false}, 2, 2, 1);
  const std::string bytes = Encode(image);
  ASSERT_EQ(bytes.size(), 14u + 40 + 2 * 8);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(static_cast<uint8_t>(bytes[2]), 70);
  EXPECT_EQ(static_cast<uint8_t>(bytes[10]), 54);

  TMemoryStream s;
  s.WriteBuffer(bytes.data(), 70);
  s.WriteBuffer("tail", 4);
  s.SetPosition(0);
  ReadBmp(s);
  EXPECT_EQ(s.Position(), 70);
}

TEST(BmpFile, ReadsPixelColoursThroughPaletteAndBitMasks) {
  TBmpImage mono = RandomImage({1, false}, 9, 2, 3);
  mono.Palette = {{0, 0, 0, 0}, {255, 0, 255, 0}};
  std::fill(mono.Pixels.begin(), mono.Pixels.end(), 0);
  mono.Pixels[4 + 1] = 0x80;  // top row (second in memory), x = 8
  EXPECT_EQ(BmpPixelColor(mono.View(), 8, 0), 0xFF00FFu);
  EXPECT_EQ(BmpPixelColor(mono.View(), 8, 1), 0u);

  TBmpImage rgb565 = RandomImage({16, true}, 1, 1, 4);
  rgb565.Pixels = {0x1F, 0xF8, 0, 0};  // red and blue at full strength
  EXPECT_EQ(BmpPixelColor(rgb565.View(), 0, 0), 0xFF00FFu);

  // A palette shorter than the indices used reads black beyond its end.
  TBmpImage short8 = RandomImage({8, false}, 2, 1, 5);
  short8.Palette.resize(2);
  short8.Pixels = {1, 200, 0, 0};
  const TBmpImage back = Decode(Encode(short8));
  ASSERT_EQ(back.Palette.size(), 2u);
  EXPECT_EQ(BmpPixelColor(back.View(), 1, 0), 0u);
}

TEST(BmpFile, ColorMaskSetsBitsOfTheKeyColourOnly) {
  TBmpImage image = RandomImage({24, false}, 10, 2, 6);
  std::fill(image.Pixels.begin(), image.Pixels.end(), 0x40);
  auto set = [&](int x, int y) {
    uint8_t* p = image.Pixels.data() + BmpStride(10, 24) * (1 - y) + 3 * x;
    p[0] = 0xFF, p[1] = 0x00, p[2] = 0xFF;
  };
  set(0, 0);
  set(9, 0);
  set(3, 1);
  const std::vector<uint8_t> mask = BmpColorMask(image.View(), 0xFF00FF);
  ASSERT_EQ(mask.size(), 8u);
  EXPECT_EQ(mask[4], 0x80);  // top row is the second in memory
  EXPECT_EQ(mask[5], 0x40);
  EXPECT_EQ(mask[0], 0x10);
  EXPECT_EQ(mask[1], 0x00);

  // 16-bit pixels hold the key as GDI stores it, with the low bits dropped.
  TBmpImage rgb555 = RandomImage({16, false}, 1, 1, 7);
  rgb555.Pixels = {0x1F, 0x7C, 0, 0};
  EXPECT_EQ(BmpColorMask(rgb555.View(), 0xFF00FF)[0], 0x80);
  EXPECT_EQ(BmpColorMask(rgb555.View(), 0xF800F8)[0], 0x80);
  EXPECT_EQ(BmpColorMask(rgb555.View(), 0xF000F0)[0], 0x00);
}

TEST(BmpFile, ReadsFilesOtherWritersMake) {
  // A 40-byte header followed by 5-6-5 masks, and a V5 header holding 8-8-8 masks for 32 bits.
  std::string with565 = Encode(RandomImage({16, true}, 3, 2, 7));
  EXPECT_TRUE(Decode(with565).Rgb565);

  TBmpImage image = RandomImage({32, false}, 3, 2, 8);
  std::string v5 = Encode(image);
  v5.insert(54, std::string(124 - 40, '\0'));
  Put32(v5, 10, 14 + 124);
  Put32(v5, 14, 124);
  Put32(v5, 30, 3);
  Put32(v5, 54, 0xFF0000);
  Put32(v5, 58, 0x00FF00);
  Put32(v5, 62, 0x0000FF);
  EXPECT_EQ(Decode(v5).Pixels, image.Pixels);
}

TEST(BmpFile, DamagedHeadersRaiseTheFrameworkError) {
  struct Damage {
    const char* What;
    size_t At;
    int Width;  // 2 or 4 bytes
    uint32_t Value;
  };
  const Damage damages[] = {
      {"signature", 0, 2, 0x4D41},
      {"header size 0", 14, 4, 0},
      {"core header", 14, 4, 12},
      {"odd header size", 14, 4, 64},
      {"huge header size", 14, 4, 0xFFFFFFFF},
      {"zero width", 18, 4, 0},
      {"negative width", 18, 4, 0xFFFFFFFF},
      {"huge width", 18, 4, 0x7FFFFFFF},
      {"zero height", 22, 4, 0},
      {"most negative height", 22, 4, 0x80000000},
      {"huge height", 22, 4, 0x7FFFFFFF},
      {"huge top-down height", 22, 4, 0x80000001},
      {"zero planes", 26, 2, 0},
      {"two planes", 26, 2, 2},
      {"0 bits", 28, 2, 0},
      {"2 bits", 28, 2, 2},
      {"64 bits", 28, 2, 64},
      {"RLE8", 30, 4, 1},
      {"RLE4", 30, 4, 2},
      {"JPEG inside", 30, 4, 4},
      {"huge compression", 30, 4, 0xFFFFFFFF},
      {"colours beyond the bit depth", 46, 4, 257},
      {"huge colour count", 46, 4, 0xFFFFFFFF},
      {"pixels before the palette", 10, 4, 54},
      {"pixels offset 0", 10, 4, 0},
      {"pixels past the end", 10, 4, 0xFFFFFFF0},
  };
  const std::string valid = Encode(RandomImage({8, false}, 5, 3, 9));
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.What);
    std::string bytes = valid;
    if (d.Width == 2)
      Put16(bytes, d.At, static_cast<uint16_t>(d.Value));
    else
      Put32(bytes, d.At, d.Value);
    EXPECT_THROW(Decode(bytes), EInvalidGraphic);
  }

  std::string badMasks = Encode(RandomImage({16, true}, 3, 2, 10));
  Put32(badMasks, 54, 0x00F0);
  EXPECT_THROW(Decode(badMasks), EInvalidGraphic);
  std::string rgb24AsBitfields = Encode(RandomImage({24, false}, 3, 2, 11));
  Put32(rgb24AsBitfields, 30, 3);
  EXPECT_THROW(Decode(rgb24AsBitfields), EInvalidGraphic);
}

TEST(BmpFile, EveryTruncationRaises) {
  int cases = 0;
  for (Layout layout : kLayouts) {
    const std::string valid = Encode(RandomImage(layout, 3, 2, 12));
    for (size_t len = 0; len < valid.size(); ++len, ++cases) {
      SCOPED_TRACE(testing::Message() << layout.BitCount << " bits, " << len << " bytes");
      EXPECT_THROW(Decode(valid.substr(0, len)), EInvalidGraphic);
    }
  }
  EXPECT_GT(cases, 500);
}

TEST(BmpFile, RandomByteFlipsRaiseOrGiveAConsistentImage) {
  std::mt19937 rng(20240611);
  int raised = 0;
  constexpr int kRounds = 700;
  for (int round = 0; round < kRounds; ++round) {
    const Layout layout = kLayouts[round % std::size(kLayouts)];
    std::string bytes = Encode(RandomImage(layout, 1 + round % 7, 1 + round % 3, round), round % 2 == 1);
    const size_t headerEnd = std::min<size_t>(bytes.size(), 54 + (layout.BitCount <= 8 ? 4u << layout.BitCount : 12));
    for (int flips = 1 + static_cast<int>(rng() % 4); flips > 0; --flips) {
      const size_t at = rng() % 4 ? rng() % headerEnd : rng() % bytes.size();
      bytes[at] = static_cast<char>(rng() % 3 ? bytes[at] ^ (1 << (rng() % 8)) : static_cast<char>(rng()));
    }
    SCOPED_TRACE(round);
    raised += RaisesOrConsistent(bytes);
  }
  // Both outcomes must have been exercised for the sweep to mean anything.
  EXPECT_GT(raised, kRounds / 4);
  EXPECT_LT(raised, kRounds - kRounds / 10);
}

TEST(BmpFile, SizesThatOverflowEven64BitsAreRefused) {
  std::string bytes = Encode(RandomImage({32, false}, 3, 2, 13));
  Put32(bytes, 18, 0x7FFFFFFF);
  Put32(bytes, 22, 0x7FFFFFFF);
  EXPECT_THROW(Decode(bytes), EInvalidGraphic);
  Put32(bytes, 22, 0x80000001);  // top-down
  EXPECT_THROW(Decode(bytes), EInvalidGraphic);
  TBmpImage huge = RandomImage({32, false}, 1, 1, 14);
  huge.Width = huge.Height = 0x7FFFFFFF;
  TMemoryStream out;
  EXPECT_THROW(WriteBmp(out, huge), EInvalidGraphic);
}

TEST(BmpFile, RunLengthCompressedPixelsDecodeToTheirKnownRows) {
  const TBmpImage rle8 = Decode(RleBmp(5, 3, 8, test::kRle8Data));
  EXPECT_EQ(rle8.Width, 5);
  EXPECT_EQ(rle8.Height, 3);
  EXPECT_EQ(rle8.BitCount, 8);
  EXPECT_EQ(rle8.Palette.size(), 8u);
  EXPECT_EQ(rle8.Pixels, test::kRle8Rows);
  EXPECT_EQ(BmpPixelColor(rle8.View(), 3, 0), 0x302010u * 2) << "top row, through the palette";

  const TBmpImage rle4 = Decode(RleBmp(5, 2, 4, test::kRle4Data));
  EXPECT_EQ(rle4.BitCount, 4);
  EXPECT_EQ(rle4.Pixels, test::kRle4Rows);

  // Without SizeImage the stream is left after the end mark; with it, after that many bytes.
  for (bool sizeGiven : {false, true}) {
    std::vector<uint8_t> padded = test::kRle4Data;
    if (sizeGiven) padded.insert(padded.end(), {0, 0});
    const std::string both = RleBmp(5, 2, 4, padded, 8, sizeGiven) + RleBmp(5, 3, 8, test::kRle8Data);
    TMemoryStream s(both);
    EXPECT_EQ(ReadBmp(s).Pixels, test::kRle4Rows);
    EXPECT_EQ(ReadBmp(s).Pixels, test::kRle8Rows) << sizeGiven;
  }
}

TEST(BmpFile, RunsAndMovesThatLeaveThePictureAreDamage) {
  struct Damage {
    const char* What;
    int BitCount;
    std::vector<uint8_t> Data;
  };
  const Damage damages[] = {
      {"run above the last row", 8, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00, 0x01}},
      {"move past the right edge", 8, {0x00, 0x02, 0x06, 0x00, 0x00, 0x01}},
      {"move above the picture", 8, {0x00, 0x02, 0x00, 0x04, 0x00, 0x01}},
      {"move to the row above the last", 4, {0x00, 0x02, 0x01, 0x03, 0x00, 0x01}},
      {"no end mark", 8, {0x02, 0x01}},
      {"literals cut short", 8, {0x00, 0x04, 1, 2}},
      {"move cut short", 8, {0x00, 0x02, 0x01}},
  };
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.What);
    EXPECT_THROW(Decode(RleBmp(5, 3, d.BitCount, d.Data)), EInvalidGraphic);
  }
  EXPECT_NO_THROW(Decode(RleBmp(5, 3, 8, {0x00, 0x02, 0x05, 0x02, 0x00, 0x00, 0x00, 0x01}))) << "to the edges";
  EXPECT_THROW(Decode(RleBmp(5, 3, 4, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x11, 0x00, 0x01})), EInvalidGraphic)
      << "four bits above the last row";
}

// Encoders pad a row of an odd width to an even count of pixels (ImageMagick's RLE8 does);
// the graphics layer drops what lies past the row's end, and so does the reader.
TEST(BmpFile, PixelsPastARowsEndAreDropped) {
  const TBmpImage rle8 =
      Decode(RleBmp(5, 2, 8, {0x06, 0x01, 0x00, 0x00, 0x00, 0x07, 1, 2, 3, 4, 5, 6, 7, 0, 0x00, 0x01}));
  EXPECT_EQ(rle8.Pixels, (std::vector<uint8_t>{1, 1, 1, 1, 1, 0, 0, 0, 1, 2, 3, 4, 5, 0, 0, 0}));
  const TBmpImage rle4 = Decode(RleBmp(3, 1, 4, {0x08, 0x45, 0x00, 0x01}));
  EXPECT_EQ(rle4.Pixels, (std::vector<uint8_t>{0x45, 0x40, 0x00, 0x00}));
  EXPECT_THROW(Decode(RleBmp(5, -3, 8, test::kRle8Data)), EInvalidGraphic) << "compressed rows run bottom up";
  EXPECT_THROW(Decode(RleBmp(0x7FFFFFFF, 0x7FFF, 8, {0x00, 0x01})), EInvalidGraphic) << "no allocation for that";
  EXPECT_THROW(Decode(RleBmp(5, 3, 4, test::kRle8Data, 8).replace(30, 1, 1, '\x01')), EInvalidGraphic)
      << "RLE8 at four bits";
}

TEST(BmpFile, EveryTruncationAndRandomFlipsOfCompressedPicturesRaiseOrStayConsistent) {
  const std::string files[] = {RleBmp(5, 3, 8, test::kRle8Data), RleBmp(5, 2, 4, test::kRle4Data, 8, false)};
  std::mt19937 rng(77);
  int raised = 0;
  for (const std::string& valid : files) {
    for (size_t len = 0; len < valid.size(); ++len) EXPECT_TRUE(RaisesOrConsistent(valid.substr(0, len))) << len;
    for (int round = 0; round < 300; ++round) {
      std::string bytes = valid;
      const size_t at = 86 + rng() % (bytes.size() - 86);  // in the compressed pixels
      bytes[at] = static_cast<char>(rng());
      raised += RaisesOrConsistent(bytes);
    }
  }
  EXPECT_GT(raised, 50);
  EXPECT_LT(raised, 550);
}
