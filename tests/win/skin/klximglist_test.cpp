// Image collections and strip image lists under Wine, by pixel on memory bitmaps.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/Filer.h"
#include "images_env.h"

using namespace orv;
using namespace orv::test;

namespace {

std::string Resource(const char* name) {
  HRSRC info = FindResourceA(nullptr, name, MAKEINTRESOURCEA(10));
  if (!info) return {};
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, info)));
  return std::string(bytes, SizeofResource(nullptr, info));
}

std::string Written(TKLXImages& images) {
  TMemoryStream s;
  EXPECT_TRUE(images.WriteToStream(s));
  return s.ToString();
}

// Counts the virtual setters, which reading a stream must not call.
class TCountingImages : public TKLXImages {
public:
  using TKLXImages::TKLXImages;
  void SetTransparentColor(TColor Value) override {
    ++calls;
    TKLXImages::SetTransparentColor(Value);
  }
  void SetPixelFormat(TPixelFormat Value) override {
    ++calls;
    TKLXImages::SetPixelFormat(Value);
  }
  int calls = 0;
};

class ImageCollection : public ImagesTest {};
class BmpImages : public ImagesTest {};

TEST_F(ImageCollection, EmptyListIsTwentySevenBytesAndLoadsBackEmpty) {
  TKLXImages empty(nullptr);
  const std::string bytes = Written(empty);
  EXPECT_EQ(bytes.size(), 27u);
  TKLXImages back(nullptr);
  back.Images().AddBitmap(*Solid(2, 2, clRed));
  TMemoryStream in;
  in.FromString(bytes);
  EXPECT_TRUE(back.LoadFromStream(in));
  EXPECT_EQ(back.Images().Count(), 0);
  EXPECT_EQ(back.TransparentColor(), clNone);
  EXPECT_EQ(back.PixelFormat(), pf24bit);
}

TEST_F(ImageCollection, SixDeclaredFiveCarriedReturnsFalseAndKeepsTheFive) {
  TKLXImages images(nullptr);
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(images.Images().AddBitmap(*Solid(3 + i, 2, clBlue)));
  std::string bytes = Written(images);
  ASSERT_EQ(bytes[23], 5);
  bytes[23] = 6;
  TKLXImages back(nullptr);
  TMemoryStream in;
  in.FromString(bytes);
  EXPECT_FALSE(back.LoadFromStream(in));
  ASSERT_EQ(back.Images().Count(), 5);
  TPicture last;
  back.Images().GetPicture(4, last);
  EXPECT_EQ(last.Width(), 7);
}

TEST_F(ImageCollection, ReadingStoresColourAndFormatWithoutCallingTheSetters) {
  TKLXImages source(nullptr);
  source.SetListName("bar");
  source.SetTransparentColor(clFuchsia);
  source.SetPixelFormat(pf8bit);
  TMemoryStream in;
  in.FromString(Written(source));
  TCountingImages back(nullptr);
  EXPECT_TRUE(back.LoadFromStream(in));
  EXPECT_EQ(back.calls, 0);
  EXPECT_EQ(back.ListName(), "bar");
  EXPECT_EQ(back.TransparentColor(), clFuchsia);
  EXPECT_EQ(back.PixelFormat(), pf8bit);
}

TEST_F(ImageCollection, DefinitionsAlwaysHoldThePixelFormatAndBuildTheStripWhenLoaded) {
  TKLXBmpImages images(nullptr);
  images.SetName("TopImages");
  images.Images().AddBitmap(*Solid(6, 4, clRed));
  TMemoryStream def;
  WriteRootComponent(def, &images);
  const std::string bytes = def.ToString();
  EXPECT_NE(bytes.find("PixelFormat"), std::string::npos);
  EXPECT_EQ(bytes.find("TransparentColor"), std::string::npos);
  EXPECT_NE(bytes.find("IData"), std::string::npos);

  TKLXBmpImages back(nullptr);
  def.SetPosition(0);
  ReadRootComponent(def, &back);
  EXPECT_EQ(back.Images().Count(), 1);
  EXPECT_EQ(back.StripBitmap().Width(), 6);
  EXPECT_EQ(back.ImageRects(0), (TRect{0, 0, 6, 4}));
}

TEST_F(ImageCollection, GetPictureOutOfRangeEmptyOrUnregisteredLoadsNothing) {
  TKLXImages images(nullptr);
  images.Images().AddBitmap(*Solid(5, 5, clRed));
  auto* unknown = static_cast<TKLXImageItem*>(images.Images().Add());
  unknown->SetDataClass("TNoSuchGraphic");
  unknown->Image()->WriteBuffer("data", 4);
  images.Images().Add()->Index();  // an item with no image

  TPicture picture;
  picture.Bitmap().SetSize(9, 9);
  const TGraphic* before = picture.Graphic();
  for (int index : {-1, 2, 3}) {
    images.Images().GetPicture(index, picture);
    EXPECT_EQ(picture.Graphic(), before);
    EXPECT_EQ(picture.Width(), 9);
  }
  TPicture empty;
  images.Images().GetPicture(1, empty);
  EXPECT_EQ(empty.Graphic(), nullptr);
}

TEST_F(ImageCollection, BitmapsAreStoredAsTBitmapAndComeBackAsBitmaps) {
  TKLXImages images(nullptr);
  auto bitmap = Solid(8, 3, clLime, pf8bit);
  ASSERT_TRUE(images.Images().AddBitmap(*bitmap));
  EXPECT_EQ(images.Images().Items(0)->DataClass(), "TBitmap");

  TPicture jpeg;
  jpeg.SetGraphic(std::make_unique<TJPEGImage>());
  jpeg.Graphic()->Assign(Solid(16, 9, clYellow).get());
  ASSERT_TRUE(images.Images().AddPicture(jpeg));
  EXPECT_EQ(images.Images().Items(1)->DataClass(), "TJPEGImage");

  TPicture none;
  EXPECT_FALSE(images.Images().AddPicture(none));
  EXPECT_EQ(images.Images().Count(), 3);

  TBitmap copy;
  images.Images().GetBitmap(0, copy);
  EXPECT_EQ(copy.PixelFormat(), pf8bit);
  EXPECT_EQ(Pixel(copy, 7, 2), clLime);
  TBitmap drawn;
  images.Images().GetBitmap(1, drawn);
  EXPECT_EQ(drawn.PixelFormat(), pf24bit);
  EXPECT_EQ(drawn.Width(), 16);
  EXPECT_EQ(drawn.Height(), 9);
  EXPECT_LE(ChannelDistance(Pixel(drawn, 8, 4), clYellow), 12);
}

TEST_F(ImageCollection, AssignAppendsCopiesAfterThePresentItems) {
  TKLXImages a(nullptr), b(nullptr);
  a.Images().AddBitmap(*Solid(1, 1, clRed));
  a.Images().AddBitmap(*Solid(2, 1, clRed));
  b.Images().AddBitmap(*Solid(3, 1, clRed));
  b.Images().Assign(&a.Images());
  ASSERT_EQ(b.Images().Count(), 3);
  EXPECT_EQ(b.Images().Items(2)->Image()->ToString(), a.Images().Items(1)->Image()->ToString());
  b.Images().Assign(&b.Images());
  EXPECT_EQ(b.Images().Count(), 6);
}

TEST_F(BmpImages, StripOfHeights24And10IsTopAlignedAnd24High) {
  TKLXBmpImages images(nullptr);
  images.Images().AddBitmap(*Solid(20, 24, clRed));
  images.Images().AddBitmap(*Solid(30, 10, clBlue, pf4bit));
  images.Rebuild();
  EXPECT_EQ(images.StripBitmap().Width(), 50);
  EXPECT_EQ(images.StripBitmap().Height(), 24);
  EXPECT_EQ(images.ImageRects(0), (TRect{0, 0, 20, 24}));
  EXPECT_EQ(images.ImageRects(1), (TRect{20, 0, 50, 10}));
  EXPECT_EQ(images.ImageWidth(1), 30);
  EXPECT_EQ(images.ImageHeight(1), 10);
  EXPECT_EQ(Pixel(images.StripBitmap(), 19, 23), clRed);
  EXPECT_EQ(Pixel(images.StripBitmap(), 20, 9), clBlue);
  EXPECT_EQ(Pixel(images.StripBitmap(), 49, 0), clBlue);
  EXPECT_EQ(images.MaskBitmap().Width(), 0);

  // The strip stays drawable once the sources are gone.
  images.ReleaseImages();
  EXPECT_EQ(images.Images().Count(), 0);
  auto dest = Solid(10, 10, clWhite);
  images.CopyImage(dest->Canvas(), TRect{0, 0, 10, 10}, 1, TRect{25, 0, 30, 5});
  EXPECT_EQ(Pixel(*dest, 0, 0), clBlue);
  EXPECT_EQ(Pixel(*dest, 9, 9), clBlue);
}

TEST_F(BmpImages, ItemThatCannotLoadTakesNoRoom) {
  TKLXBmpImages images(nullptr);
  images.Images().AddBitmap(*Solid(5, 4, clRed));
  auto* unknown = static_cast<TKLXImageItem*>(images.Images().Add());
  unknown->SetDataClass("TNoSuchGraphic");
  unknown->Image()->WriteBuffer("BM", 2);
  auto* damaged = static_cast<TKLXImageItem*>(images.Images().Add());
  damaged->SetDataClass("TBitmap");
  damaged->Image()->WriteBuffer("BMdamaged", 9);
  images.Images().AddBitmap(*Solid(7, 3, clBlue));
  images.Rebuild();
  EXPECT_EQ(images.ImageWidth(1), 0);
  EXPECT_EQ(images.ImageWidth(2), 0);
  EXPECT_EQ(images.ImageRects(1), (TRect{5, 0, 5, 0}));
  EXPECT_EQ(images.ImageRects(3), (TRect{5, 0, 12, 3}));
  EXPECT_EQ(images.StripBitmap().Width(), 12);
  EXPECT_EQ(images.StripBitmap().Height(), 4);
}

// A strip of one 8 x 6 image: a fuchsia checkerboard over a colour ramp.
std::unique_ptr<TKLXBmpImages> Checkered(TColor transparent) {
  auto images = std::make_unique<TKLXBmpImages>(nullptr);
  images->Images().AddBitmap(*Solid(3, 2, clGray));
  auto b = Solid(8, 6, clBlack);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) b->Canvas().SetPixels(x, y, (x + y) % 2 ? clFuchsia : RGB(30 * x, 40 * y, 90));
  images->Images().AddBitmap(*b);
  images->SetTransparentColor(transparent);
  images->Rebuild();
  return images;
}

TEST_F(BmpImages, WithoutTransparentColourDrawImageGivesCopyImagesPixels) {
  auto images = Checkered(clNone);
  for (const auto& [dest, source] :
       {std::pair{TRect{0, 0, 8, 6}, TRect{0, 0, 8, 6}}, std::pair{TRect{2, 1, 18, 13}, TRect{1, 1, 7, 5}}}) {
    auto copied = Solid(20, 14, clGreen), drawn = Solid(20, 14, clGreen);
    images->CopyImage(copied->Canvas(), dest, 1, source);
    images->DrawImage(drawn->Canvas(), dest, 1, source);
    for (int y = 0; y < 14; ++y)
      for (int x = 0; x < 20; ++x) ASSERT_EQ(Pixel(*drawn, x, y), Pixel(*copied, x, y)) << x << "," << y;
    EXPECT_EQ(Pixel(*copied, dest.Left, dest.Top), Pixel(images->StripBitmap(), 3 + source.Left, source.Top));
  }
}

TEST_F(BmpImages, MagentaSourcePixelsLeaveTheDestinationAsItWas) {
  auto images = Checkered(clFuchsia);
  TKLBitmap& mask = images->MaskBitmap();
  EXPECT_EQ(mask.PixelFormat(), pf1bit);
  EXPECT_EQ(mask.Width(), 11);
  EXPECT_EQ(mask.Height(), 6);

  auto dest = Solid(20, 14, clGreen);
  images->DrawImage(dest->Canvas(), TRect{4, 2, 12, 8}, 1, TRect{0, 0, 8, 6});
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) {
      const TColor expected = (x + y) % 2 ? clGreen : static_cast<TColor>(RGB(30 * x, 40 * y, 90));
      ASSERT_EQ(Pixel(*dest, 4 + x, 2 + y), expected) << x << "," << y;
    }
  EXPECT_EQ(Pixel(*dest, 3, 2), clGreen);
  EXPECT_EQ(Pixel(*dest, 12, 7), clGreen);

  // Stretched twice as large: every 2 x 2 block follows its source pixel.
  auto big = Solid(16, 12, clGreen);
  images->DrawImage(big->Canvas(), TRect{0, 0, 16, 12}, 1, TRect{0, 0, 8, 6});
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x) {
      const int sx = x / 2, sy = y / 2;
      const TColor expected = (sx + sy) % 2 ? clGreen : static_cast<TColor>(RGB(30 * sx, 40 * sy, 90));
      ASSERT_EQ(Pixel(*big, x, y), expected) << x << "," << y;
    }

  images->SetTransparentColor(clNone);
  EXPECT_EQ(images->MaskBitmap().Width(), 0);
}

TEST_F(BmpImages, BadIndexDrawsNothing) {
  for (TColor transparent : {clNone, clFuchsia}) {
    auto images = Checkered(transparent);
    auto dest = Solid(8, 8, clGreen);
    for (int index : {-1, 2, 100}) {
      images->CopyImage(dest->Canvas(), TRect{0, 0, 8, 8}, index, TRect{0, 0, 8, 8});
      images->DrawImage(dest->Canvas(), TRect{0, 0, 8, 8}, index, TRect{0, 0, 8, 8});
    }
    EXPECT_EQ(Pixel(*dest, 0, 0), clGreen);
    EXPECT_EQ(Pixel(*dest, 7, 7), clGreen);
  }
}

TEST_F(BmpImages, ImageListDropsAMemberFreedByItsOwnerAndFreesTheRest) {
  TComponent owner(nullptr);
  {
    TKLXBmpImageList list;
    auto* a = new TKLXBmpImages(&owner);
    auto* b = new TKLXBmpImages(&owner);
    list.Add(a);
    list.Add(b);
    delete a;
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Items(0), b);
    EXPECT_EQ(owner.ComponentCount(), 1);
  }
  EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST_F(ImageCollection, StreamShapedLikeTheMainWindowsLoadsAndIsConsumedExactly) {
  const std::string bytes = Resource("WINDOW_IMAGES");
  ASSERT_GT(bytes.size(), 27u);
  const std::string header(
      "\x01\x00"
      "\0\0\0\0\0\0\0\0"
      "\xFF\xFF\xFF\x1F"
      "\x06"
      "\0\0\0\0\0\0\0\0"
      "\x05\0\0\0",
      27);
  EXPECT_EQ(bytes.substr(0, 27), header);
  TMemoryStream in;
  in.FromString(bytes);
  TKLXImages all(nullptr);
  ASSERT_TRUE(all.LoadFromStream(in));
  EXPECT_EQ(in.Position(), in.Size());
  ASSERT_EQ(all.Images().Count(), 5);

  TKLXBmpImages strip(nullptr);
  strip.Images().Assign(&all.Images());
  strip.Rebuild();
  const int32_t heights[] = {24, 24, 413, 413, 156};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(all.Images().Items(i)->DataClass(), i < 2 ? "TBitmap" : "TJPEGImage");
    EXPECT_EQ(strip.ImageWidth(i), 625) << i;
    EXPECT_EQ(strip.ImageHeight(i), heights[i]) << i;
  }
  EXPECT_EQ(strip.StripBitmap().Width(), 5 * 625);
  EXPECT_EQ(strip.StripBitmap().Height(), 413);
  TPicture top, topHi;
  all.Images().GetPicture(0, top);
  all.Images().GetPicture(1, topHi);
  EXPECT_EQ(top.Bitmap().PixelFormat(), pf8bit);
  EXPECT_EQ(topHi.Bitmap().PixelFormat(), pf4bit);
}

}  // namespace
