#include <windows.h>

#include "gui/Pictures.h"

#include <algorithm>

#include "base/Filer.h"

namespace orv {

namespace {

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

int64_t Remaining(TStream& stream) { return stream.Size() - stream.Position(); }

std::vector<uint8_t> ReadBytes(TStream& stream, int64_t count) {
  std::vector<uint8_t> bytes(static_cast<size_t>(count));
  stream.ReadBuffer(bytes.data(), count);
  return bytes;
}

int32_t ScreenPixelsPerInch() {
  TWindowDC screen(nullptr);
  return GetDeviceCaps(screen.Get(), LOGPIXELSX);
}

constexpr int64_t kIconDirSize = 6;
constexpr int64_t kIconEntrySize = 16;

// The first image of an .ico file must be a DIB whose colour and mask rows fit its entry;
// the system's icon loader is then given only bytes that were checked.
void CheckIconImage(const uint8_t* image, uint32_t size) {
  if (size < 40 || Get32(image) < 40 || Get32(image) > size) throw EInvalidGraphic("Invalid icon: bad image header");
  const int32_t width = static_cast<int32_t>(Get32(image + 4));
  const int32_t height = static_cast<int32_t>(Get32(image + 8)) / 2;
  const uint16_t bits = Get16(image + 14);
  if (width <= 0 || width > 256 || height <= 0 || height > 256 || Get16(image + 12) != 1 || Get32(image + 16) != 0)
    throw EInvalidGraphic("Invalid icon: bad image header");
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    throw EInvalidGraphic("Invalid icon: bad image header");
  const uint32_t colors = bits <= 8 ? (Get32(image + 32) ? Get32(image + 32) : 1u << bits) : 0;
  const int64_t needed =
      int64_t{Get32(image)} + 4 * int64_t{colors} + BmpStride(width, bits) * height + BmpStride(width, 1) * height;
  if ((bits <= 8 && colors > (1u << bits)) || needed > size) throw EInvalidGraphic("Invalid icon: truncated image");
}

}  // namespace

const TClassInfo& TIcon::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TIcon>("TIcon", &TGraphic::StaticClassInfo()).Info();
  return info;
}

void TIcon::SetWidth(int32_t) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }
void TIcon::SetHeight(int32_t) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }

void TIcon::Assign(const TPersistent* source) {
  if (!source) return Load({});
  auto* other = dynamic_cast<const TIcon*>(source);
  if (!other) return TGraphic::Assign(source);
  if (other != this) Load(other->data_);
}

void TIcon::Load(std::vector<uint8_t> data) {
  TOwnedIcon icon;
  int32_t width = 0, height = 0;
  if (!data.empty()) {
    const uint8_t* entry = data.data() + kIconDirSize;
    width = entry[0] ? entry[0] : 256;
    height = entry[1] ? entry[1] : 256;
    // Version 3 of the icon resource format, the one both Windows families read.
    icon.Reset(CreateIconFromResourceEx(data.data() + Get32(entry + 12), Get32(entry + 8), TRUE, 0x00030000, width,
                                        height, LR_DEFAULTCOLOR));
    if (!icon) throw EInvalidGraphic("Invalid icon");
  }
  data_ = std::move(data);
  handle_ = std::move(icon);
  width_ = width;
  height_ = height;
  Changed();
}

void TIcon::LoadFromStream(TStream& stream) {
  const int64_t available = Remaining(stream);
  if (available <= 0) return Load({});
  if (available < kIconDirSize + kIconEntrySize) throw EInvalidGraphic("Invalid icon: file too short");
  const int64_t start = stream.Position();
  std::vector<uint8_t> dir = ReadBytes(stream, kIconDirSize);
  const int64_t count = Get16(&dir[4]);
  if (Get16(&dir[0]) != 0 || Get16(&dir[2]) != 1 || count == 0) throw EInvalidGraphic("Invalid icon: not an icon file");
  if (kIconDirSize + count * kIconEntrySize > available) throw EInvalidGraphic("Invalid icon: file too short");
  const std::vector<uint8_t> entries = ReadBytes(stream, count * kIconEntrySize);
  int64_t end = kIconDirSize + count * kIconEntrySize;
  for (int64_t i = 0; i < count; ++i) {
    const int64_t size = Get32(&entries[i * kIconEntrySize + 8]);
    const int64_t offset = Get32(&entries[i * kIconEntrySize + 12]);
    if (offset < kIconDirSize + count * kIconEntrySize || size > available - offset)
      throw EInvalidGraphic("Invalid icon: image outside the file");
    end = std::max(end, offset + size);
  }
  stream.SetPosition(start);
  std::vector<uint8_t> data = ReadBytes(stream, end);
  CheckIconImage(data.data() + Get32(&entries[12]), Get32(&entries[8]));
  Load(std::move(data));
}

void TIcon::SaveToStream(TStream& stream) { stream.WriteBuffer(data_.data(), static_cast<int64_t>(data_.size())); }

void TIcon::Draw(TCanvas& canvas, const TRect& rect) {
  if (!Empty())
    DrawIconEx(canvas.Handle(), rect.Left, rect.Top, handle_.Get(), rect.Right - rect.Left, rect.Bottom - rect.Top, 0,
               nullptr, DI_NORMAL);
}

const TClassInfo& TMetafile::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TMetafile>("TMetafile", &TGraphic::StaticClassInfo()).Info();
  return info;
}

void TMetafile::SetWidth(int32_t value) {
  width_ = value;
  Changed();
}

void TMetafile::SetHeight(int32_t value) {
  height_ = value;
  Changed();
}

void TMetafile::Assign(const TPersistent* source) {
  auto* other = dynamic_cast<const TMetafile*>(source);
  if (source && !other) return TGraphic::Assign(source);
  if (other == this) return;
  TOwnedEnhMetafile copy;
  if (other && other->handle_) {
    copy.Reset(CopyEnhMetaFileA(other->handle_.Get(), nullptr));
    if (!copy) throw EOutOfResources("Out of system resources");
  }
  handle_ = std::move(copy);
  width_ = other ? other->width_ : 0;
  height_ = other ? other->height_ : 0;
  Changed();
}

void TMetafile::LoadFromStream(TStream& stream) {
  const int64_t available = Remaining(stream);
  if (available <= 0) return Assign(nullptr);
  ENHMETAHEADER header{};
  if (available < static_cast<int64_t>(sizeof header)) throw EInvalidGraphic("Invalid metafile: file too short");
  const int64_t start = stream.Position();
  stream.ReadBuffer(&header, sizeof header);
  if (header.iType != EMR_HEADER || header.dSignature != ENHMETA_SIGNATURE || header.nSize < 88 ||
      header.nBytes < header.nSize || header.nBytes > available)
    throw EInvalidGraphic("Invalid metafile");
  stream.SetPosition(start);
  const std::vector<uint8_t> bits = ReadBytes(stream, header.nBytes);
  TOwnedEnhMetafile handle(SetEnhMetaFileBits(header.nBytes, bits.data()));
  if (!handle) throw EInvalidGraphic("Invalid metafile");
  const int32_t ppi = ScreenPixelsPerInch();
  handle_ = std::move(handle);
  width_ = MulDiv(header.rclFrame.right - header.rclFrame.left, ppi, 2540);
  height_ = MulDiv(header.rclFrame.bottom - header.rclFrame.top, ppi, 2540);
  Changed();
}

void TMetafile::SaveToStream(TStream& stream) {
  if (Empty()) return;
  const UINT size = GetEnhMetaFileBits(handle_.Get(), 0, nullptr);
  std::vector<uint8_t> bits(size);
  if (size == 0 || GetEnhMetaFileBits(handle_.Get(), size, bits.data()) != size) throw EWriteError();
  stream.WriteBuffer(bits.data(), size);
}

void TMetafile::Draw(TCanvas& canvas, const TRect& rect) {
  if (Empty()) return;
  RECT r = ToRECT(rect);
  PlayEnhMetaFile(canvas.Handle(), handle_.Get(), &r);
}

const TClassInfo& TPicture::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TPicture>("TPicture", &TPersistent::StaticClassInfo()).Info();
  return info;
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::SetGraphic(const TGraphic* value) {
  if (!value) return SetGraphic(std::unique_ptr<TGraphic>());
  if (value == graphic_.get()) return;
  const TClassInfo& info = value->ClassInfo();
  if (!info.CreateObject) throw EInvalidGraphic("Cannot copy a " + info.Name);
  std::unique_ptr<TGraphic> copy(static_cast<TGraphic*>(info.CreateObject()));
  copy->Assign(value);
  SetGraphic(std::move(copy));
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> value) {
  graphic_ = std::move(value);
  if (graphic_) graphic_->OnChange = [this](TGraphic*) { Changed(); };
  Changed();
}

template <class G>
G& TPicture::As() {
  if (!dynamic_cast<G*>(graphic_.get())) SetGraphic(std::make_unique<G>());
  return static_cast<G&>(*graphic_);
}

TBitmap& TPicture::Bitmap() { return As<TBitmap>(); }
TIcon& TPicture::Icon() { return As<TIcon>(); }
TMetafile& TPicture::Metafile() { return As<TMetafile>(); }

void TPicture::Assign(const TPersistent* source) {
  if (!source) return SetGraphic(static_cast<const TGraphic*>(nullptr));
  if (auto* picture = dynamic_cast<const TPicture*>(source)) return SetGraphic(picture->Graphic());
  if (auto* graphic = dynamic_cast<const TGraphic*>(source)) return SetGraphic(graphic);
  TPersistent::Assign(source);
}

void TPicture::AssignTo(TPersistent* dest) const {
  if (graphic_ && dynamic_cast<TGraphic*>(dest)) return dest->Assign(graphic_.get());
  TPersistent::AssignTo(dest);
}

void TPicture::DefineProperties(TFiler& filer) {
  filer.DefineBinaryProperty(
      "Data", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); },
      graphic_ && !graphic_->Empty());
}

void TPicture::ReadData(TStream& stream) {
  uint8_t length = 0;
  if (stream.Read(&length, 1) != 1 || length == 0) return SetGraphic(std::unique_ptr<TGraphic>());
  std::string name(length, '\0');
  stream.ReadBuffer(name.data(), length);
  std::unique_ptr<TGraphic> graphic = CreateGraphic(name);
  graphic->LoadFromStream(stream);
  SetGraphic(std::move(graphic));
}

void TPicture::WriteData(TStream& stream) {
  const std::string name = graphic_->ClassName();
  const uint8_t length = static_cast<uint8_t>(std::min<size_t>(name.size(), 255));
  stream.WriteBuffer(&length, 1);
  stream.WriteBuffer(name.data(), length);
  graphic_->SaveToStream(stream);
}

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

}  // namespace orv
