// The JPEG graphic under Wine: JFIF in and out, drawing at 24 bits, damaged files.
#include <windows.h>

#include <gtest/gtest.h>

#include "images_env.h"
#include "test_files.h"

using namespace orv;
using namespace orv::test;

namespace {

class JPEGImage : public ImagesTest {};

// Four quadrants of different colours.
std::unique_ptr<TKLBitmap> Quadrants() {
  auto b = Solid(64, 48, clRed);
  Fill(*b, TRect{32, 0, 64, 24}, clLime);
  Fill(*b, TRect{0, 24, 32, 48}, clBlue);
  Fill(*b, TRect{32, 24, 64, 48}, clWhite);
  return b;
}

using testsupport::Load;
using testsupport::Saved;

TEST_F(JPEGImage, WrittenAndReadBackKeepsItsSizeAndIsCloseInColour) {
  TJPEGImage jpeg;
  jpeg.Assign(Quadrants().get());
  const std::string jfif = Saved(jpeg);
  ASSERT_GT(jfif.size(), 100u);
  EXPECT_EQ(jfif.substr(0, 2), "\xFF\xD8");
  EXPECT_EQ(jfif.substr(6, 5), std::string("JFIF\0", 5));

  TJPEGImage back;
  Load(back, jfif);
  EXPECT_EQ(back.Width(), 64);
  EXPECT_EQ(back.Height(), 48);
  EXPECT_EQ(Saved(back), jfif);
  auto canvas = Solid(64, 48, clBlack);
  canvas->Canvas().Draw(0, 0, back);
  EXPECT_LE(ChannelDistance(Pixel(*canvas, 10, 10), clRed), 24);
  EXPECT_LE(ChannelDistance(Pixel(*canvas, 50, 10), clLime), 24);
  EXPECT_LE(ChannelDistance(Pixel(*canvas, 10, 40), clBlue), 24);
  EXPECT_LE(ChannelDistance(Pixel(*canvas, 50, 40), clWhite), 24);

  TBitmap pixels;
  pixels.Assign(&back);
  EXPECT_EQ(pixels.PixelFormat(), pf24bit);
  EXPECT_EQ(pixels.Width(), 64);
  EXPECT_THROW(back.SetWidth(10), EInvalidGraphicOperation);
}

TEST_F(JPEGImage, DamagedFileLoadsAsNoPictureAndTheProgramGoesOn) {
  TJPEGImage good;
  good.Assign(Quadrants().get());
  const std::string jfif = Saved(good);

  TKLXImages images(nullptr);
  for (const std::string& damaged : {jfif.substr(0, jfif.size() / 2), std::string("\xFF\xD8\xFF\xE0 not really", 16)}) {
    auto* item = static_cast<TKLXImageItem*>(images.Images().Add());
    item->SetDataClass("TJPEGImage");
    item->Image()->FromString(damaged);
  }
  for (int i = 0; i < 2; ++i) {
    TPicture picture;
    images.Images().GetPicture(i, picture);
    ASSERT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);
    EXPECT_TRUE(picture.Graphic()->Empty());
    EXPECT_EQ(picture.Width(), 0);
  }
  // A failed load leaves a loaded picture as it was.
  EXPECT_THROW(Load(good, jfif.substr(0, 300)), EInvalidGraphic);
  EXPECT_EQ(good.Width(), 64);
  EXPECT_EQ(Saved(good), jfif);
}

TEST_F(JPEGImage, RegisteredByNameWhileTheUnitRuns) {
  EXPECT_EQ(GetClass("TJPEGImage"), &TJPEGImage::StaticClassInfo());
  for (const char* name : {"TBitmap", "TIcon", "TMetafile"}) EXPECT_NE(GetClass(name), nullptr) << name;
  EXPECT_NE(dynamic_cast<TJPEGImage*>(CreateGraphic("TJPEGImage").get()), nullptr);
  FinalizeKLJpeg();
  EXPECT_EQ(GetClass("TJPEGImage"), nullptr);
  InitializeKLJpeg();
}

}  // namespace
