#include "base/BmpFile.h"

#include <algorithm>
#include <array>
#include <climits>

namespace orv {

namespace {

constexpr int32_t kFileHeaderSize = 14;
constexpr int32_t kInfoHeaderSize = 40;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitFields = 3;
constexpr uint32_t kMask565[3] = {0xF800, 0x07E0, 0x001F};
constexpr uint32_t kMask555[3] = {0x7C00, 0x03E0, 0x001F};
constexpr uint32_t kMask888[3] = {0xFF0000, 0x00FF00, 0x0000FF};

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

[[noreturn]] void Invalid(const char* why) { throw EInvalidGraphic(std::string("Invalid bitmap: ") + why); }

bool SameMasks(const uint32_t* a, const uint32_t* b) { return std::equal(a, a + 3, b); }

// Which pixel layout the compression and bit masks ask for; anything else is refused.
void CheckLayout(TBmpImage& image, uint32_t compression, const uint32_t* masks) {
  switch (image.BitCount) {
    case 4:
    case 8:
      if (compression != kBiRgb && compression != (image.BitCount == 8 ? kBiRle8 : kBiRle4))
        Invalid("compressed pixels are not supported");
      return;
    case 1:
    case 24:
      if (compression != kBiRgb) Invalid("compressed pixels are not supported");
      return;
    case 16:
      if (compression == kBiRgb) return;
      if (compression != kBiBitFields) Invalid("compressed pixels are not supported");
      if (SameMasks(masks, kMask565))
        image.Rgb565 = true;
      else if (!SameMasks(masks, kMask555))
        Invalid("unsupported bit masks");
      return;
    case 32:
      if (compression == kBiRgb) return;
      if (compression != kBiBitFields) Invalid("compressed pixels are not supported");
      if (!SameMasks(masks, kMask888)) Invalid("unsupported bit masks");
      return;
    default: Invalid("unsupported bits per pixel");
  }
}

struct THeader {
  uint32_t OffBits = 0;
  uint32_t Size = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  uint16_t Planes = 0;
  uint16_t BitCount = 0;
  uint32_t Compression = 0;
  uint32_t SizeImage = 0;
  uint32_t ClrUsed = 0;
  uint32_t Masks[3] = {};
};

// Reads the file header, the info header and any bit masks; returns where the palette starts.
int64_t ReadHeaders(TStream& stream, int64_t available, THeader& h) {
  std::array<uint8_t, kFileHeaderSize + 4> head{};
  if (available < kFileHeaderSize + kInfoHeaderSize) Invalid("file too short");
  stream.ReadBuffer(head.data(), head.size());
  if (head[0] != 'B' || head[1] != 'M') Invalid("not a BMP file");
  h.OffBits = Get32(&head[10]);
  h.Size = Get32(&head[14]);
  if (h.Size != 40 && h.Size != 52 && h.Size != 56 && h.Size != 108 && h.Size != 124) Invalid("unsupported header");
  if (kFileHeaderSize + int64_t{h.Size} > available) Invalid("file too short");
  std::array<uint8_t, 124> info{};
  stream.ReadBuffer(info.data() + 4, h.Size - 4);
  h.Width = static_cast<int32_t>(Get32(&info[4]));
  h.Height = static_cast<int32_t>(Get32(&info[8]));
  h.Planes = Get16(&info[12]);
  h.BitCount = Get16(&info[14]);
  h.Compression = Get32(&info[16]);
  h.SizeImage = Get32(&info[20]);
  h.ClrUsed = Get32(&info[32]);
  int64_t end = kFileHeaderSize + h.Size;
  if (h.Compression == kBiBitFields) {
    if (h.Size == kInfoHeaderSize) {
      if (end + 12 > available) Invalid("file too short");
      stream.ReadBuffer(&info[40], 12);
      end += 12;
    }
    for (int i = 0; i < 3; ++i) h.Masks[i] = Get32(&info[40 + 4 * i]);
  }
  return end;
}

// Run-length compressed pixels (RLE8, RLE4) into DIB memory order. Runs must stay in the
// picture's rows and moves inside it; pixels that no run sets keep index 0. Pixels past a
// row's end are dropped, as the system's graphics layer drops them: encoders pad a row of an
// odd width with one.
class TRleDecoder {
public:
  TRleDecoder(const uint8_t* data, int64_t size, TBmpImage& image)
      : data_(data),
        size_(size),
        image_(image),
        stride_(BmpStride(image.Width, image.BitCount)),
        nibbles_(image.BitCount == 4) {}

  // Answers the bytes up to and including the end-of-bitmap mark.
  int64_t Decode() {
    for (;;) {
      const uint8_t count = Next(), value = Next();
      if (count > 0) {
        Run(count, value);
        continue;
      }
      switch (value) {
        case 0: NewLine(); break;
        case 1: return at_;
        case 2: Move(); break;
        default: Absolute(value);
      }
    }
  }

private:
  uint8_t Next() {
    if (at_ >= size_) Invalid("compressed pixels end without their end mark");
    return data_[at_++];
  }

  void Claim() const {
    if (y_ >= image_.Height) Invalid("a run leaves the picture");
  }

  void Put(uint8_t index) {
    const int64_t x = x_++;
    if (x >= image_.Width) return;
    uint8_t* row = image_.Pixels.data() + y_ * stride_;
    if (nibbles_)
      row[x / 2] |= static_cast<uint8_t>(x % 2 ? index & 0x0F : index << 4);
    else
      row[x] = index;
  }

  // RLE4 alternates the byte's two pixels, high one first.
  void Run(uint8_t count, uint8_t value) {
    Claim();
    for (int i = 0; i < count; ++i) Put(nibbles_ ? (i % 2 ? value & 0x0F : value >> 4) : value);
  }

  void Absolute(uint8_t count) {
    Claim();
    const int64_t bytes = nibbles_ ? (count + 1) / 2 : count;
    if (at_ + bytes > size_) Invalid("compressed pixels end without their end mark");
    for (int i = 0; i < count; ++i) {
      const uint8_t b = data_[at_ + (nibbles_ ? i / 2 : i)];
      Put(nibbles_ ? (i % 2 ? b & 0x0F : b >> 4) : b);
    }
    at_ += bytes + bytes % 2;  // each run of literals fills whole 16-bit words
  }

  void NewLine() {
    x_ = 0;
    ++y_;
  }

  void Move() {
    const uint8_t dx = Next(), dy = Next();
    x_ += dx;
    y_ += dy;
    if (x_ > image_.Width || y_ > image_.Height || (y_ == image_.Height && x_ > 0))
      Invalid("a move leaves the picture");
  }

  const uint8_t* data_;
  int64_t size_;
  TBmpImage& image_;
  int64_t stride_;
  bool nibbles_;
  int64_t at_ = 0;
  int64_t x_ = 0, y_ = 0;  // y counts rows in memory order, from the bottom
};

// Width times height in bytes of rows, or -1 when more than Limit (a damaged header's sizes
// could overflow even 64 bits).
int64_t PixelBytes(int64_t stride, int64_t height, int64_t limit) {
  if (stride <= 0 || height <= 0 || stride > limit / height) return -1;
  return stride * height;
}

void FlipRows(TBmpImage& image, int64_t stride) {
  for (int64_t top = 0, bottom = image.Height - 1; top < bottom; ++top, --bottom)
    std::swap_ranges(image.Pixels.begin() + top * stride, image.Pixels.begin() + (top + 1) * stride,
                     image.Pixels.begin() + bottom * stride);
}

void ReadPlainPixels(TStream& stream, int64_t available, bool topDown, TBmpImage& image) {
  const int64_t stride = BmpStride(image.Width, image.BitCount);
  const int64_t pixelBytes = PixelBytes(stride, image.Height, available);
  if (pixelBytes < 0) Invalid("pixel data does not fit the file");
  image.Pixels.resize(static_cast<size_t>(pixelBytes));
  stream.ReadBuffer(image.Pixels.data(), pixelBytes);
  if (topDown) FlipRows(image, stride);
}

// A run gives at most 255 pixels for two bytes. Moves and an early end can leave more
// untouched, but a picture that needs far more memory than its bytes could fill is taken
// for damage rather than allocated.
constexpr int64_t kRleMaxExpansion = 256;

void ReadRlePixels(TStream& stream, const THeader& h, int64_t available, TBmpImage& image) {
  if (h.Height < 0) Invalid("compressed pixels top-down");
  if (h.SizeImage > available) Invalid("pixel data does not fit the file");
  const int64_t size = h.SizeImage != 0 ? h.SizeImage : available;
  const int64_t stride = BmpStride(image.Width, image.BitCount);
  const int64_t pixelBytes = PixelBytes(stride, image.Height, size * kRleMaxExpansion);
  if (pixelBytes < 0) Invalid("compressed pixels too few for the picture's size");
  std::vector<uint8_t> data(static_cast<size_t>(size));
  const int64_t from = stream.Position();
  stream.ReadBuffer(data.data(), size);
  image.Pixels.assign(static_cast<size_t>(pixelBytes), 0);
  const int64_t used = TRleDecoder(data.data(), size, image).Decode();
  if (h.SizeImage == 0) stream.SetPosition(from + used);
}

TBmpImage ReadChecked(TStream& stream, int64_t start, int64_t available) {
  THeader h;
  const int64_t paletteStart = ReadHeaders(stream, available, h);
  if (h.Planes != 1) Invalid("bad plane count");
  if (h.Width <= 0 || h.Height == 0 || h.Height == INT32_MIN) Invalid("bad dimensions");
  TBmpImage image;
  image.Width = h.Width;
  image.Height = h.Height < 0 ? -h.Height : h.Height;
  image.BitCount = h.BitCount;
  CheckLayout(image, h.Compression, h.Masks);

  int64_t paletteCount = 0;
  if (image.BitCount <= 8) {
    const int64_t full = int64_t{1} << image.BitCount;
    paletteCount = h.ClrUsed == 0 ? full : h.ClrUsed;
    if (paletteCount > full) Invalid("palette too large");
  }
  const int64_t paletteEnd = paletteStart + 4 * paletteCount;
  if (paletteEnd > h.OffBits || paletteEnd > available) Invalid("truncated palette");
  if (h.OffBits > available) Invalid("pixel data does not fit the file");

  image.Palette.resize(static_cast<size_t>(paletteCount));
  stream.ReadBuffer(image.Palette.data(), 4 * paletteCount);
  for (TBmpColor& c : image.Palette) c.Reserved = 0;
  stream.SetPosition(start + h.OffBits);
  if (h.Compression == kBiRle8 || h.Compression == kBiRle4)
    ReadRlePixels(stream, h, available - h.OffBits, image);
  else
    ReadPlainPixels(stream, available - h.OffBits, h.Height < 0, image);
  return image;
}

uint8_t Expand5(uint32_t v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); }
uint8_t Expand6(uint32_t v) { return static_cast<uint8_t>((v << 2) | (v >> 4)); }

uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) { return r | g << 8 | static_cast<uint32_t>(b) << 16; }

// The colour as a 16-bit pixel would hold it (GDI drops the low bits), read back.
uint32_t Quantize16(uint32_t color, bool rgb565) {
  const uint32_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
  return Rgb(Expand5(r >> 3), rgb565 ? Expand6(g >> 2) : Expand5(g >> 3), Expand5(b >> 3));
}

}  // namespace

TBmpPixels TBmpImage::View() const {
  return TBmpPixels{
      Pixels.data(), Width, Height, BitCount, Rgb565, Palette.data(), static_cast<int32_t>(Palette.size())};
}

int64_t BmpStride(int64_t width, int32_t bitCount) { return (width * bitCount + 31) / 32 * 4; }

TBmpImage ReadBmp(TStream& stream) {
  const int64_t start = stream.Position();
  const int64_t available = stream.Size() - start;
  try {
    return ReadChecked(stream, start, available);
  } catch (const EReadError&) {
    Invalid("file too short");
  }
}

void WriteBmp(TStream& stream, const TBmpImage& image, bool topDown) {
  const int64_t stride = BmpStride(image.Width, image.BitCount);
  const bool paletted = image.BitCount <= 8;
  const int64_t pixelBytes = PixelBytes(stride, image.Height, INT64_MAX);
  if (image.Width <= 0 || pixelBytes < 0 || static_cast<int64_t>(image.Pixels.size()) != pixelBytes ||
      (paletted && (image.Palette.empty() || image.Palette.size() > (size_t{1} << image.BitCount))) ||
      (!paletted && !image.Palette.empty()))
    Invalid("inconsistent image");
  const bool bitFields = image.BitCount == 16 && image.Rgb565;
  const uint32_t paletteBytes = static_cast<uint32_t>(image.Palette.size() * 4);
  const uint32_t offBits = kFileHeaderSize + kInfoHeaderSize + (bitFields ? 12 : 0) + paletteBytes;
  const int64_t fileSize = offBits + pixelBytes;
  if (fileSize > UINT32_MAX) Invalid("image too large for a BMP file");

  std::vector<uint8_t> head;
  head.push_back('B');
  head.push_back('M');
  Put32(head, static_cast<uint32_t>(fileSize));
  Put32(head, 0);
  Put32(head, offBits);
  Put32(head, kInfoHeaderSize);
  Put32(head, static_cast<uint32_t>(image.Width));
  Put32(head, static_cast<uint32_t>(topDown ? -image.Height : image.Height));
  Put16(head, 1);
  Put16(head, static_cast<uint32_t>(image.BitCount));
  Put32(head, bitFields ? kBiBitFields : kBiRgb);
  Put32(head, static_cast<uint32_t>(pixelBytes));
  Put32(head, 0);
  Put32(head, 0);
  Put32(head, static_cast<uint32_t>(image.Palette.size()));
  Put32(head, 0);
  if (bitFields)
    for (uint32_t m : kMask565) Put32(head, m);
  stream.WriteBuffer(head.data(), static_cast<int64_t>(head.size()));
  stream.WriteBuffer(image.Palette.data(), paletteBytes);
  if (!topDown) return stream.WriteBuffer(image.Pixels.data(), static_cast<int64_t>(image.Pixels.size()));
  for (int64_t row = image.Height - 1; row >= 0; --row) stream.WriteBuffer(image.Pixels.data() + row * stride, stride);
}

uint32_t BmpPixelColor(const TBmpPixels& image, int32_t x, int32_t y) {
  const uint8_t* row = image.Bits + BmpStride(image.Width, image.BitCount) * (image.Height - 1 - y);
  auto fromPalette = [&](uint32_t index) {
    if (index >= static_cast<uint32_t>(image.PaletteCount)) return 0u;
    const TBmpColor& c = image.Palette[index];
    return Rgb(c.Red, c.Green, c.Blue);
  };
  switch (image.BitCount) {
    case 1: return fromPalette((row[x / 8] >> (7 - x % 8)) & 1);
    case 4: return fromPalette((row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF);
    case 8: return fromPalette(row[x]);
    case 16: {
      const uint32_t v = Get16(row + 2 * x);
      if (image.Rgb565) return Rgb(Expand5(v >> 11), Expand6((v >> 5) & 0x3F), Expand5(v & 0x1F));
      return Rgb(Expand5((v >> 10) & 0x1F), Expand5((v >> 5) & 0x1F), Expand5(v & 0x1F));
    }
    case 24: return Rgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    default: return Rgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
  }
}

std::vector<uint8_t> BmpColorMask(const TBmpPixels& image, uint32_t color) {
  if (image.BitCount == 16) color = Quantize16(color, image.Rgb565);
  const int64_t stride = BmpStride(image.Width, 1);
  std::vector<uint8_t> mask(static_cast<size_t>(stride * image.Height));
  for (int32_t y = 0; y < image.Height; ++y) {
    uint8_t* row = mask.data() + stride * (image.Height - 1 - y);
    for (int32_t x = 0; x < image.Width; ++x)
      if (BmpPixelColor(image, x, y) == color) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
  }
  return mask;
}

}  // namespace orv
