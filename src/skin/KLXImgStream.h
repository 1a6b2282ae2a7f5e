#pragma once
// Image items and the image-collection stream that carries them (the byte-level part of the
// image collections; no drawing here, so that it builds and is tested on any system).
//
// Stream: version (2 bytes, 1), ListName (string block), TransparentColor (4 bytes),
// PixelFormat (1 byte), a reserved stream block (written empty), the item count (4 bytes),
// then one stream block per item holding its record: version (2 bytes, 1), DataClass (string
// block), Image (stream block), Rgn (stream block). All integers little-endian; the blocks
// are those of KLClasses.
#include <cstdint>
#include <memory>
#include <string>

#include "base/Collection.h"
#include "base/Streams.h"

namespace orv {

// One picture as its graphic class writes itself (a BMP file for "TBitmap", a JFIF file for
// "TJPEGImage"), and region data that is carried along but never interpreted. A definition
// holds the two streams as "IData" and "RData", each only when it is not empty.
class TKLXImageItem : public TCollectionItem {
  ORV_CLASSINFO(TKLXImageItem)
public:
  explicit TKLXImageItem(TCollection* collection);
  ~TKLXImageItem() override;

  const std::string& DataClass() const { return dataClass_; }
  void SetDataClass(const std::string& value) { dataClass_ = value; }
  TMemoryStream* Image() const { return image_.get(); }
  TMemoryStream* Rgn() const { return rgn_.get(); }

  void Assign(const TPersistent* source) override;
  void DefineProperties(TFiler& filer) override;

private:
  std::string dataClass_;
  std::unique_ptr<TMemoryStream> image_;
  std::unique_ptr<TMemoryStream> rgn_;
};

// The header fields of the stream that an image list keeps as its properties.
struct TKLXImagesHeader {
  std::string ListName;
  int32_t TransparentColor = 0x1FFFFFFF;  // clNone
  uint8_t PixelFormat = 6;                // pf24bit
};

// The last pixel-format ordinal (pfCustom); a larger one marks a damaged stream.
inline constexpr uint8_t ImagesMaxPixelFormat = 8;

// Reads the stream from its position into Header and appends its items to Items (a
// collection of TKLXImageItem). Damaged or short data raises EReadError or EKLError; the items
// read until then stay in Items.
void ReadImagesStream(TStream& Stream, TKLXImagesHeader& Header, TCollection& Items);
void WriteImagesStream(TStream& Stream, const TKLXImagesHeader& Header, const TCollection& Items);

}  // namespace orv
