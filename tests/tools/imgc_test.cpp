// What imgc wrote is an image-collection stream holding the files byte for byte.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "skin/KLXImgStream.h"

using namespace orv;

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(Imgc, WritesTheHeaderOptionsAndEachFileAsAnItem) {
  const std::string bytes = Slurp(IMGC_DIR "/window.bin");
  ASSERT_FALSE(bytes.empty());
  TMemoryStream in;
  in.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  in.SetPosition(0);
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
    EXPECT_EQ(item.Image()->ToString(), Slurp(std::string(IMGC_DIR "/") + files[i])) << files[i];
    EXPECT_EQ(item.Rgn()->Size(), 0);
  }
}

}  // namespace
