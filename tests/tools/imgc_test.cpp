// What imgc wrote is an image-collection stream holding the files byte for byte.
#include <gtest/gtest.h>

#include "skin/KLXImgStream.h"
#include "test_files.h"

using namespace orv;

namespace {

TEST(Imgc, WritesTheHeaderOptionsAndEachFileAsAnItem) {
  const std::string bytes = testsupport::ReadFile(IMGC_DIR "/window.bin");
  ASSERT_FALSE(bytes.empty());
  TMemoryStream in(bytes);
  TOwnedCollection items(nullptr, TKLXImageItem::StaticClassInfo());
  TKLXImagesHeader header;
  ReadImagesStream(in, header, items);
  EXPECT_EQ(in.Position(), in.Size());
  EXPECT_EQ(header.ListName, "strip");
  EXPECT_EQ(header.TransparentColor, 0xFF00FF);
  EXPECT_EQ(header.PixelFormat, 3);
  const char* const files[] = {"top.bmp", "top-hi.bmp", "cover.jpg", "cover-hi.jpg", "programs.jpg"};
  ASSERT_EQ(items.Count(), 5);
  for (int i = 0; i < 5; ++i) {
    auto& item = static_cast<TKLXImageItem&>(*items.Items(i));
    EXPECT_EQ(item.DataClass(), i < 2 ? "TBitmap" : "TJPEGImage");
    EXPECT_EQ(item.Image()->ToString(), testsupport::ReadFile(std::string(IMGC_DIR "/") + files[i])) << files[i];
    EXPECT_EQ(item.Rgn()->Size(), 0);
  }
}

}  // namespace
