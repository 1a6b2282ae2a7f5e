// Every truncation and seeded random byte flips of a small image-collection stream and of a
// JPEG file: each read either succeeds or raises the framework's exception; the sanitizers
// catch any out-of-bounds access, and ASAN_OPTIONS any allocation driven by a damaged length.
#include <gtest/gtest.h>

#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "base/BmpFile.h"
#include "skin/KLJpegCodec.h"
#include "skin/KLXImgStream.h"
#include "unit/rle_bmp.h"

using namespace orv;

namespace {

constexpr int kFlipCases = 400;

TBmpImage Picture(int32_t w, int32_t h, int32_t bitCount) {
  TBmpImage image;
  image.Width = w;
  image.Height = h;
  image.BitCount = bitCount;
  if (bitCount <= 8)
    for (int i = 0; i < (1 << bitCount); ++i)
      image.Palette.push_back(
          TBmpColor{static_cast<uint8_t>(i * 13), static_cast<uint8_t>(i * 7), static_cast<uint8_t>(255 - i)});
  image.Pixels.resize(static_cast<size_t>(BmpStride(w, bitCount) * h));
  for (size_t i = 0; i < image.Pixels.size(); ++i) image.Pixels[i] = static_cast<uint8_t>(i * 29 + 5);
  return image;
}

std::string Jpeg(int32_t w, int32_t h) {
  const std::vector<uint8_t> jfif = EncodeJpeg(Picture(w, h, 24).View(), 75);
  return std::string(jfif.begin(), jfif.end());
}

std::string Bmp(int32_t w, int32_t h, int32_t bitCount) {
  TMemoryStream s;
  WriteBmp(s, Picture(w, h, bitCount));
  return s.ToString();
}

// A stream like the main window's, in small: four bitmaps (two of them run-length
// compressed), two JPEG pictures, one region.
std::string SmallImageStream() {
  TOwnedCollection items(nullptr, TKLXImageItem::StaticClassInfo());
  const std::pair<const char*, std::string> content[] = {{"TBitmap", Bmp(9, 4, 8)},
                                                         {"TBitmap", Bmp(9, 4, 4)},
                                                         {"TJPEGImage", Jpeg(9, 6)},
                                                         {"TJPEGImage", Jpeg(17, 3)},
                                                         {"TBitmap", test::RleBmp(5, 3, 8, test::kRle8Data)},
                                                         {"TBitmap", test::RleBmp(5, 2, 4, test::kRle4Data, 8, false)}};
  for (const auto& [cls, bytes] : content) {
    auto& item = static_cast<TKLXImageItem&>(*items.Add());
    item.SetDataClass(cls);
    item.Image()->FromString(bytes);
  }
  static_cast<TKLXImageItem&>(*items.Items(1)).Rgn()->FromString("region");
  TKLXImagesHeader header{"strip", 0x00FF00FF, 6};
  TMemoryStream out;
  WriteImagesStream(out, header, items);
  return out.ToString();
}

struct TOutcome {
  bool Read = false;
  int Items = 0;
  int Pictures = 0;
};

// What loading and drawing an image list does with the bytes, short of GDI: read the stream,
// then decode every item by its class.
TOutcome LoadImageStream(const std::string& bytes) {
  TOutcome outcome;
  TMemoryStream in;
  in.FromString(bytes);
  TOwnedCollection items(nullptr, TKLXImageItem::StaticClassInfo());
  TKLXImagesHeader header;
  try {
    ReadImagesStream(in, header, items);
    outcome.Read = true;
  } catch (const Exception&) {
  }
  outcome.Items = items.Count();
  int64_t kept = 0;
  for (int i = 0; i < items.Count(); ++i) {
    auto& item = static_cast<TKLXImageItem&>(*items.Items(i));
    kept += item.Image()->Size() + item.Rgn()->Size() + static_cast<int64_t>(item.DataClass().size());
    try {
      item.Image()->SetPosition(0);
      if (item.DataClass() == "TBitmap") ReadBmp(*item.Image());
      if (item.DataClass() == "TJPEGImage")
        DecodeJpeg(item.Image()->Memory(), static_cast<size_t>(item.Image()->Size()));
      ++outcome.Pictures;
    } catch (const EInvalidGraphic&) {
    }
  }
  EXPECT_LE(kept, static_cast<int64_t>(bytes.size()));
  return outcome;
}

bool DecodesJpeg(const std::string& bytes) {
  try {
    const TBmpImage image = DecodeJpeg(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    EXPECT_EQ(image.Pixels.size(), static_cast<size_t>(BmpStride(image.Width, 24) * image.Height));
    return true;
  } catch (const EInvalidGraphic&) {
    return false;
  }
}

// One to four bytes changed at seeded random places.
std::string Flipped(const std::string& bytes, std::mt19937& random) {
  std::string damaged = bytes;
  const int flips = std::uniform_int_distribution<int>(1, 4)(random);
  for (int i = 0; i < flips; ++i) {
    const size_t at = std::uniform_int_distribution<size_t>(0, damaged.size() - 1)(random);
    damaged[at] = static_cast<char>(damaged[at] ^ std::uniform_int_distribution<int>(1, 255)(random));
  }
  return damaged;
}

TEST(DamagedInput, EveryTruncationOfAnImageStreamFailsAndKeepsWhatWasRead) {
  const std::string stream = SmallImageStream();
  const TOutcome whole = LoadImageStream(stream);
  ASSERT_TRUE(whole.Read);
  ASSERT_EQ(whole.Items, 6);
  ASSERT_EQ(whole.Pictures, 6);
  int previousItems = 0;
  for (size_t n = 0; n < stream.size(); ++n) {
    const TOutcome cut = LoadImageStream(stream.substr(0, n));
    EXPECT_FALSE(cut.Read) << n;
    EXPECT_GE(cut.Items, previousItems) << n;
    previousItems = cut.Items;
  }
  std::cout << "image stream: " << stream.size() << " truncations\n";
}

TEST(DamagedInput, RandomByteFlipsInAnImageStreamNeverCrash) {
  const std::string stream = SmallImageStream();
  std::mt19937 random(20240611);
  int read = 0, pictures = 0;
  for (int i = 0; i < kFlipCases; ++i) {
    const TOutcome outcome = LoadImageStream(Flipped(stream, random));
    read += outcome.Read;
    pictures += outcome.Pictures;
  }
  std::cout << "image stream: " << kFlipCases << " flip cases, " << read << " read through, " << pictures
            << " pictures decoded\n";
}

TEST(DamagedInput, EveryTruncationOfAJpegFileIsRefused) {
  const std::string jpeg = Jpeg(40, 30);
  ASSERT_TRUE(DecodesJpeg(jpeg));
  for (size_t n = 0; n < jpeg.size(); ++n) EXPECT_FALSE(DecodesJpeg(jpeg.substr(0, n))) << n;
  std::cout << "jpeg: " << jpeg.size() << " truncations\n";
}

TEST(DamagedInput, RandomByteFlipsInAJpegFileNeverCrash) {
  const std::string jpeg = Jpeg(40, 30);
  std::mt19937 random(1999);
  int decoded = 0;
  for (int i = 0; i < kFlipCases; ++i) decoded += DecodesJpeg(Flipped(jpeg, random));
  std::cout << "jpeg: " << kFlipCases << " flip cases, " << decoded << " decoded\n";
}

}  // namespace
