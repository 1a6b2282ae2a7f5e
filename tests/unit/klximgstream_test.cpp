// The image-collection stream and image items, byte for byte and through definitions.
#include <gtest/gtest.h>

#include <string>

#include "base/Exceptions.h"
#include "base/Filer.h"
#include "base/TextForm.h"
#include "skin/KLXImgStream.h"
#include "sys/KLMessages.h"

using namespace orv;

namespace {

class TImageHolder : public TComponent {
  ORV_CLASSINFO(TImageHolder)
public:
  explicit TImageHolder(TComponent* owner) : TComponent(owner), items_(this, TKLXImageItem::StaticClassInfo()) {}
  TOwnedCollection& Items() { return items_; }

private:
  TOwnedCollection items_;
};

}  // namespace

const TClassInfo& TImageHolder::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TImageHolder>("TImageHolder", &TComponent::StaticClassInfo())
                                     .Object("Images", &TImageHolder::Items)
                                     .Info();
  return info;
}

namespace {

std::string Bytes(TMemoryStream& s) { return s.ToString(); }

std::string Le(uint64_t v, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += static_cast<char>(v >> (8 * i));
  return s;
}

std::string Block(const std::string& content) { return Le(content.size(), 8) + content; }

std::string Record(const std::string& cls, const std::string& image, const std::string& rgn = "") {
  return Le(1, 2) + Block(cls) + Block(image) + Block(rgn);
}

std::string Header(int32_t count, const std::string& name = "", uint32_t color = 0x1FFFFFFF, uint8_t pf = 6) {
  return Le(1, 2) + Block(name) + Le(color, 4) + std::string(1, static_cast<char>(pf)) + Block("") +
         Le(static_cast<uint32_t>(count), 4);
}

TKLXImageItem& Item(TCollection& c, int i) { return static_cast<TKLXImageItem&>(*c.Items(i)); }

TKLXImageItem& AddItem(TCollection& c, const std::string& cls, const std::string& image, const std::string& rgn = "") {
  auto& item = static_cast<TKLXImageItem&>(*c.Add());
  item.SetDataClass(cls);
  item.Image()->FromString(image);
  item.Rgn()->FromString(rgn);
  return item;
}

class ImageStream : public ::testing::Test {
protected:
  TOwnedCollection items_{nullptr, TKLXImageItem::StaticClassInfo()};
  TKLXImagesHeader header_;
  TMemoryStream stream_;
};

TEST_F(ImageStream, EmptyListIsTheTwentySevenByteHeaderAndReadsBackEmpty) {
  WriteImagesStream(stream_, header_, items_);
  EXPECT_EQ(Bytes(stream_), Header(0));
  EXPECT_EQ(stream_.Size(), 27);
  header_.PixelFormat = 0;
  stream_.SetPosition(0);
  ReadImagesStream(stream_, header_, items_);
  EXPECT_EQ(items_.Count(), 0);
  EXPECT_EQ(header_.PixelFormat, 6);
  EXPECT_EQ(header_.TransparentColor, 0x1FFFFFFF);
  EXPECT_EQ(stream_.Position(), 27);
}

TEST_F(ImageStream, ItemsAreWrittenAsRecordBlocksInOrder) {
  header_ = {"bar", 0x00FF00FF, 3};
  AddItem(items_, "TBitmap", "BM-pixels");
  AddItem(items_, "TJPEGImage", std::string("\xFF\xD8jfif", 6), "region");
  WriteImagesStream(stream_, header_, items_);
  const std::string expected = Header(2, "bar", 0x00FF00FF, 3) + Block(Record("TBitmap", "BM-pixels")) +
                               Block(Record("TJPEGImage", std::string("\xFF\xD8jfif", 6), "region"));
  EXPECT_EQ(Bytes(stream_), expected);

  TOwnedCollection back(nullptr, TKLXImageItem::StaticClassInfo());
  TKLXImagesHeader h;
  stream_.SetPosition(0);
  ReadImagesStream(stream_, h, back);
  EXPECT_EQ(stream_.Position(), stream_.Size());
  EXPECT_EQ(h.ListName, "bar");
  EXPECT_EQ(h.TransparentColor, 0x00FF00FF);
  EXPECT_EQ(h.PixelFormat, 3);
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(Item(back, 1).DataClass(), "TJPEGImage");
  EXPECT_EQ(Bytes(*Item(back, 1).Image()), std::string("\xFF\xD8jfif", 6));
  EXPECT_EQ(Bytes(*Item(back, 1).Rgn()), "region");
  EXPECT_EQ(Bytes(*Item(back, 0).Rgn()), "");
}

TEST_F(ImageStream, ReadingIgnoresVersionsAndSkipsTheReservedBlock) {
  const std::string s = Le(7, 2) + Block("") + Le(0x1FFFFFFF, 4) + "\x06" + Block("reserved") + Le(1, 4);
  std::string record = Record("TBitmap", "x");
  record.replace(0, 2, Le(9, 2));
  stream_.FromString(s + Block(record));
  ReadImagesStream(stream_, header_, items_);
  ASSERT_EQ(items_.Count(), 1);
  EXPECT_EQ(Item(items_, 0).DataClass(), "TBitmap");
}

TEST_F(ImageStream, ShortOrDamagedStreamsRaiseAndKeepTheItemsRead) {
  std::string five;
  for (int i = 0; i < 5; ++i) five += Block(Record("TBitmap", "image" + std::to_string(i)));
  stream_.FromString(Header(6) + five);
  EXPECT_THROW(ReadImagesStream(stream_, header_, items_), EReadError);
  ASSERT_EQ(items_.Count(), 5);
  EXPECT_EQ(Bytes(*Item(items_, 4).Image()), "image4");

  // A record cut short inside its block: the item was appended, the read ends with EKLError.
  items_.Clear();
  const std::string cut = Record("TBitmap", "pixels").substr(0, 20);
  stream_.FromString(Header(2) + Block(Record("TBitmap", "ok")) + Block(cut));
  EXPECT_THROW(ReadImagesStream(stream_, header_, items_), EKLError);
  EXPECT_EQ(items_.Count(), 2);

  // A pixel format beyond the last one is damage, not a value to keep.
  items_.Clear();
  stream_.FromString(Header(0, "", 0x1FFFFFFF, 9));
  EXPECT_THROW(ReadImagesStream(stream_, header_, items_), EReadError);

  // A negative count reads as no items.
  stream_.FromString(Header(-3));
  ReadImagesStream(stream_, header_, items_);
  EXPECT_EQ(items_.Count(), 0);
}

TEST(ImageItem, AssignCopiesClassAndBothStreams) {
  TOwnedCollection items(nullptr, TKLXImageItem::StaticClassInfo());
  TKLXImageItem& a = AddItem(items, "TBitmap", "pixels", "rgn");
  TKLXImageItem& b = AddItem(items, "TIcon", "longer old content", "old region");
  b.Assign(&a);
  EXPECT_EQ(b.DataClass(), "TBitmap");
  EXPECT_EQ(Bytes(*b.Image()), "pixels");
  EXPECT_EQ(Bytes(*b.Rgn()), "rgn");
  EXPECT_THROW(b.Assign(&items), EConvertError);
}

TEST(ImageItem, DefinitionsHoldIDataAndRDataOnlyWhenNotEmpty) {
  RegisterClass(TImageHolder::StaticClassInfo());
  TImageHolder holder(nullptr);
  holder.SetName("AllImages");
  AddItem(holder.Items(), "TBitmap", "pixels");
  AddItem(holder.Items(), "TJPEGImage", "jfif", "rgn");
  TMemoryStream def;
  WriteRootComponent(def, &holder);
  TMemoryStream expected;
  ObjectTextToBinary(
      "object AllImages: TImageHolder Images = <"
      "item DataClass = 'TBitmap' IData = {706978656C73} end "
      "item DataClass = 'TJPEGImage' IData = {6A666966} RData = {72676E} end> end",
      expected);
  EXPECT_EQ(def.ToString(), expected.ToString());

  TImageHolder back(nullptr);
  def.SetPosition(0);
  ReadRootComponent(def, &back);
  UnRegisterClass(TImageHolder::StaticClassInfo());
  ASSERT_EQ(back.Items().Count(), 2);
  EXPECT_EQ(Item(back.Items(), 0).DataClass(), "TBitmap");
  EXPECT_EQ(Bytes(*Item(back.Items(), 0).Image()), "pixels");
  EXPECT_EQ(Bytes(*Item(back.Items(), 0).Rgn()), "");
  EXPECT_EQ(Bytes(*Item(back.Items(), 1).Image()), "jfif");
  EXPECT_EQ(Bytes(*Item(back.Items(), 1).Rgn()), "rgn");
}

}  // namespace
