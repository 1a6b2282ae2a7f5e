#include "skin/KLXImgStream.h"

#include "base/Exceptions.h"
#include "base/Filer.h"
#include "skin/KLClasses.h"
#include "sys/KLMessages.h"

namespace orv {

namespace {

constexpr uint16_t kFormatVersion = 1;

void WriteVersion(TStream& stream) {
  const uint8_t b[2] = {kFormatVersion & 0xFF, kFormatVersion >> 8};
  stream.WriteBuffer(b, 2);
}

void WriteInt32(TStream& stream, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                        static_cast<uint8_t>(v >> 24)};
  stream.WriteBuffer(b, 4);
}

int32_t ReadInt32(TStream& stream) {
  uint8_t b[4];
  stream.ReadBuffer(b, 4);
  return static_cast<int32_t>(b[0] | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24);
}

void SkipVersion(TStream& stream) {
  uint8_t b[2];
  stream.ReadBuffer(b, 2);
}

void CopyStream(TMemoryStream& dest, TStream& source) {
  dest.Clear();
  dest.CopyFrom(source, 0);
}

void ReadItemRecord(TStream& stream, TKLXImageItem& item) {
  SkipVersion(stream);
  std::string dataClass;
  ReadStringFromStream(stream, dataClass);
  item.SetDataClass(dataClass);
  ReadStreamFromStream(stream, *item.Image());
  ReadStreamFromStream(stream, *item.Rgn());
}

void WriteItemRecord(TStream& stream, const TKLXImageItem& item) {
  WriteVersion(stream);
  WriteStringToStream(stream, item.DataClass());
  WriteStreamToStream(stream, *item.Image());
  WriteStreamToStream(stream, *item.Rgn());
}

}  // namespace

const TClassInfo& TKLXImageItem::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TKLXImageItem>("TKLXImageItem", &TCollectionItem::StaticClassInfo())
                                     .String("DataClass", &TKLXImageItem::DataClass, &TKLXImageItem::SetDataClass)
                                     .Info();
  return info;
}

TKLXImageItem::TKLXImageItem(TCollection* collection)
    : TCollectionItem(collection), image_(std::make_unique<TMemoryStream>()), rgn_(std::make_unique<TMemoryStream>()) {}

TKLXImageItem::~TKLXImageItem() = default;

void TKLXImageItem::Assign(const TPersistent* source) {
  auto* other = dynamic_cast<const TKLXImageItem*>(source);
  if (!other) return TCollectionItem::Assign(source);
  if (other == this) return;
  dataClass_ = other->dataClass_;
  CopyStream(*image_, *other->image_);
  CopyStream(*rgn_, *other->rgn_);
}

void TKLXImageItem::DefineProperties(TFiler& filer) {
  TCollectionItem::DefineProperties(filer);
  filer.DefineBinaryProperty(
      "IData", [this](TStream& s) { CopyStream(*image_, s); }, [this](TStream& s) { s.CopyFrom(*image_, 0); },
      image_->Size() > 0);
  filer.DefineBinaryProperty(
      "RData", [this](TStream& s) { CopyStream(*rgn_, s); }, [this](TStream& s) { s.CopyFrom(*rgn_, 0); },
      rgn_->Size() > 0);
}

void ReadImagesStream(TStream& Stream, TKLXImagesHeader& Header, TCollection& Items) {
  SkipVersion(Stream);
  ReadStringFromStream(Stream, Header.ListName);
  Header.TransparentColor = ReadInt32(Stream);
  uint8_t pixelFormat = 0;
  Stream.ReadBuffer(&pixelFormat, 1);
  if (pixelFormat > ImagesMaxPixelFormat) throw EReadError("Invalid pixel format in image list");
  Header.PixelFormat = pixelFormat;
  {
    TMemoryStream reserved;
    ReadStreamFromStream(Stream, reserved);
  }
  const int32_t count = ReadInt32(Stream);
  for (int32_t i = 0; i < count; ++i) {
    TMemoryStream record;
    ReadStreamFromStream(Stream, record);
    auto* item = dynamic_cast<TKLXImageItem*>(Items.Add());
    if (!item) throw EKLError("Not a collection of image items");
    record.SetPosition(0);
    try {
      ReadItemRecord(record, *item);
    } catch (const Exception& e) {
      throw EKLError("Damaged image item " + std::to_string(i) + ": " + e.Message());
    }
  }
}

void WriteImagesStream(TStream& Stream, const TKLXImagesHeader& Header, const TCollection& Items) {
  WriteVersion(Stream);
  WriteStringToStream(Stream, Header.ListName);
  WriteInt32(Stream, Header.TransparentColor);
  Stream.WriteBuffer(&Header.PixelFormat, 1);
  TMemoryStream reserved;
  WriteStreamToStream(Stream, reserved);
  WriteInt32(Stream, Items.Count());
  for (int i = 0; i < Items.Count(); ++i) {
    TMemoryStream record;
    auto* item = dynamic_cast<const TKLXImageItem*>(Items.Items(i));
    if (!item) throw EKLError("Not a collection of image items");
    try {
      WriteItemRecord(record, *item);
    } catch (const Exception& e) {
      throw EKLError("Cannot write image item " + std::to_string(i) + ": " + e.Message());
    }
    WriteStreamToStream(Stream, record);
  }
}

}  // namespace orv
