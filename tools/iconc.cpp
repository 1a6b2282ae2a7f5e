// iconc: writes the program's cursors and icon in the Windows file formats, and checks the
// rendered pictures before they are embedded.
//
//   iconc cursor OUTPUT.cur SOURCE.txt
//   iconc icon OUTPUT.ico SIZE:BITS:IMAGE.rgba ...
//   iconc check PICTURE WIDTH HEIGHT BITS
//
// A cursor source is pixel art: a line "hotspot X Y", then one text row per pixel row, all of
// the same length, with 'X' black, 'o' white, '.' transparent and '~' inverted screen. The
// cursor is the classic monochrome kind (AND and XOR masks), which every Windows version loads.
//
// An icon image is raw 8-bit RGBA (as `convert x.png -depth 8 rgba:x.rgba` writes it), SIZE
// pixels square; BITS 32 keeps the alpha channel, BITS 4 or 8 store a palette of the opaque
// pixels' colours (there must be no more than the palette holds) and take transparency from the
// AND mask alone, for systems without alpha icons.
//
// check reads a BMP's or a baseline JPEG's header and fails unless it has the size and the bits
// per pixel given (a JPEG's are 8 per component).
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Failure("cannot read " + path);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  const std::string temp = path + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw Failure("cannot write " + temp);
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) throw Failure("cannot write " + path);
}

void Put16(Bytes& out, unsigned v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}

void Put32(Bytes& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

unsigned Get16(const Bytes& in, size_t at) {
  if (at + 2 > in.size()) throw Failure("file too short");
  return in[at] | (in[at + 1] << 8);
}

uint32_t Get32(const Bytes& in, size_t at) { return Get16(in, at) | (Get16(in, at + 2) << 16); }

unsigned GetBig16(const Bytes& in, size_t at) {
  if (at + 2 > in.size()) throw Failure("file too short");
  return (in[at] << 8) | in[at + 1];
}

size_t RowBytes(int width, int bits) { return ((static_cast<size_t>(width) * bits + 31) / 32) * 4; }

struct Rgba {
  uint8_t r, g, b, a;
};

// One picture of an icon or cursor resource: its pixels, how they are stored, its hot spot.
struct Image {
  int width = 0, height = 0, bits = 32;
  std::vector<Rgba> pixels;  // top row first
  std::vector<bool> inverted;
  int hotX = 0, hotY = 0;

  bool Opaque(int x, int y) const { return pixels[y * width + x].a >= 128; }
};

void SetBit(Bytes& bits, size_t rowStart, int x) { bits[rowStart + x / 8] |= 0x80 >> (x % 8); }

// The AND mask: 1 where the screen shows through (transparent or inverted pixels).
Bytes AndMask(const Image& img) {
  const size_t row = RowBytes(img.width, 1);
  Bytes mask(row * img.height, 0);
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x)
      if (!img.Opaque(x, y)) SetBit(mask, row * (img.height - 1 - y), x);
  return mask;
}

std::vector<Rgba> Palette(const Image& img) {
  if (img.bits == 1) return {{0, 0, 0, 0}, {255, 255, 255, 0}};
  std::map<uint32_t, int> seen;
  std::vector<Rgba> palette;
  for (const Rgba& p : img.pixels) {
    if (p.a < 128) continue;
    const uint32_t key = (p.r << 16) | (p.g << 8) | p.b;
    if (seen.emplace(key, static_cast<int>(palette.size())).second) palette.push_back({p.r, p.g, p.b, 0});
  }
  if (palette.size() > (1u << img.bits))
    throw Failure(std::to_string(palette.size()) + " colours do not fit " + std::to_string(img.bits) + " bits");
  palette.resize(1u << img.bits, Rgba{0, 0, 0, 0});
  return palette;
}

int PaletteIndex(const std::vector<Rgba>& palette, const Rgba& p) {
  for (size_t i = 0; i < palette.size(); ++i)
    if (palette[i].r == p.r && palette[i].g == p.g && palette[i].b == p.b) return static_cast<int>(i);
  return 0;
}

// The colour (XOR) bitmap, bottom row first as a DIB stores it. Transparent pixels are black in
// it so that the AND/XOR pair leaves the screen unchanged; inverted ones are white.
Bytes ColourBits(const Image& img, const std::vector<Rgba>& palette) {
  const size_t row = RowBytes(img.width, img.bits);
  Bytes bits(row * img.height, 0);
  for (int y = 0; y < img.height; ++y) {
    const size_t start = row * (img.height - 1 - y);
    for (int x = 0; x < img.width; ++x) {
      const Rgba& p = img.pixels[y * img.width + x];
      if (img.bits == 32) {
        uint8_t* d = &bits[start + x * 4];
        d[0] = p.b, d[1] = p.g, d[2] = p.r, d[3] = p.a;
        continue;
      }
      const bool white = img.inverted.empty() ? false : img.inverted[y * img.width + x];
      if (!img.Opaque(x, y) && !white) continue;
      const int index = white ? PaletteIndex(palette, {255, 255, 255, 255}) : PaletteIndex(palette, p);
      if (img.bits == 8)
        bits[start + x] = static_cast<uint8_t>(index);
      else if (img.bits == 4)
        bits[start + x / 2] |= (x % 2 ? index : index << 4);
      else if (index)
        SetBit(bits, start, x);
    }
  }
  return bits;
}

// A DIB as icon and cursor resources hold it: header with doubled height, palette, XOR, AND.
Bytes IconDib(const Image& img, const std::vector<Rgba>& palette) {
  const Bytes colour = ColourBits(img, palette);
  const Bytes mask = AndMask(img);
  Bytes out;
  Put32(out, 40);
  Put32(out, img.width);
  Put32(out, img.height * 2);
  Put16(out, 1);
  Put16(out, img.bits);
  Put32(out, 0);
  Put32(out, static_cast<uint32_t>(colour.size() + mask.size()));
  for (int i = 0; i < 4; ++i) Put32(out, 0);
  for (const Rgba& c : palette) out.insert(out.end(), {c.b, c.g, c.r, 0});
  out.insert(out.end(), colour.begin(), colour.end());
  out.insert(out.end(), mask.begin(), mask.end());
  return out;
}

// An icon or cursor file: directory, then each picture's DIB. A cursor's directory entry holds
// the hot spot where an icon's holds planes and bits.
Bytes IconFile(const std::vector<Image>& images, bool cursor) {
  Bytes out;
  Put16(out, 0);
  Put16(out, cursor ? 2 : 1);
  Put16(out, static_cast<unsigned>(images.size()));
  std::vector<Bytes> dibs;
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (const Image& img : images) {
    const std::vector<Rgba> palette = img.bits <= 8 ? Palette(img) : std::vector<Rgba>{};
    dibs.push_back(IconDib(img, palette));
    out.push_back(img.width >= 256 ? 0 : img.width);
    out.push_back(img.height >= 256 ? 0 : img.height);
    out.push_back(img.bits < 8 ? 1 << img.bits : 0);
    out.push_back(0);
    Put16(out, cursor ? img.hotX : 1);
    Put16(out, cursor ? img.hotY : img.bits);
    Put32(out, static_cast<uint32_t>(dibs.back().size()));
    Put32(out, offset);
    offset += static_cast<uint32_t>(dibs.back().size());
  }
  for (const Bytes& d : dibs) out.insert(out.end(), d.begin(), d.end());
  return out;
}

Image ReadCursorArt(const std::string& path) {
  const Bytes text = ReadFile(path);
  std::istringstream in(std::string(text.begin(), text.end()));
  Image img;
  img.bits = 1;
  std::string line;
  bool hotspot = false;
  std::vector<std::string> rows;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (line.rfind("hotspot ", 0) == 0) {
      std::istringstream(line.substr(8)) >> img.hotX >> img.hotY;
      hotspot = true;
    } else {
      rows.push_back(line);
    }
  }
  if (!hotspot) throw Failure(path + ": no hotspot line");
  if (rows.empty() || rows.size() != rows[0].size()) throw Failure(path + ": the picture must be square");
  img.width = img.height = static_cast<int>(rows.size());
  if (img.hotX < 0 || img.hotY < 0 || img.hotX >= img.width || img.hotY >= img.height)
    throw Failure(path + ": hot spot outside the picture");
  for (const std::string& row : rows) {
    if (static_cast<int>(row.size()) != img.width) throw Failure(path + ": rows of different lengths");
    for (char c : row) {
      switch (c) {
        case 'X': img.pixels.push_back({0, 0, 0, 255}); break;
        case 'o': img.pixels.push_back({255, 255, 255, 255}); break;
        case '.': img.pixels.push_back({0, 0, 0, 0}); break;
        case '~': img.pixels.push_back({255, 255, 255, 0}); break;
        default: throw Failure(path + ": unknown pixel '" + std::string(1, c) + "'");
      }
      img.inverted.push_back(c == '~');
    }
  }
  return img;
}

Image ReadIconImage(const std::string& arg) {
  const size_t a = arg.find(':'), b = arg.find(':', a + 1);
  if (a == std::string::npos || b == std::string::npos) throw Failure("expected SIZE:BITS:FILE, got " + arg);
  Image img;
  img.width = img.height = std::stoi(arg.substr(0, a));
  img.bits = std::stoi(arg.substr(a + 1, b - a - 1));
  if (img.width < 1 || img.width > 256) throw Failure("bad icon size in " + arg);
  if (img.bits != 4 && img.bits != 8 && img.bits != 32) throw Failure("icon bits must be 4, 8 or 32: " + arg);
  const Bytes raw = ReadFile(arg.substr(b + 1));
  if (raw.size() != static_cast<size_t>(img.width) * img.height * 4)
    throw Failure(arg.substr(b + 1) + ": expected " + std::to_string(img.width) + "x" + std::to_string(img.height) +
                  " RGBA pixels");
  for (size_t i = 0; i < raw.size(); i += 4) img.pixels.push_back({raw[i], raw[i + 1], raw[i + 2], raw[i + 3]});
  return img;
}

struct Format {
  int width, height, bits;
};

Format BmpFormat(const Bytes& f) {
  const uint32_t header = Get32(f, 14);
  if (header < 40) throw Failure("not a Windows BMP (header of " + std::to_string(header) + " bytes)");
  const int32_t height = static_cast<int32_t>(Get32(f, 22));
  if (Get32(f, 30) != 0) throw Failure("compressed BMP");
  if (Get32(f, 10) + RowBytes(static_cast<int>(Get32(f, 18)), Get16(f, 28)) * (height < 0 ? -height : height) >
      f.size())
    throw Failure("BMP pixels cut short");
  return {static_cast<int>(Get32(f, 18)), height < 0 ? -height : height, static_cast<int>(Get16(f, 28))};
}

// The frame header's size and components; only baseline (SOF0) is accepted, as every JPEG
// decoder reads it.
Format JpegFormat(const Bytes& f) {
  size_t at = 2;
  while (at + 4 <= f.size()) {
    if (f[at] != 0xFF) throw Failure("JPEG markers out of step");
    const uint8_t marker = f[at + 1];
    if (marker == 0xC0)
      return {static_cast<int>(GetBig16(f, at + 7)), static_cast<int>(GetBig16(f, at + 5)), f.at(at + 9) * 8};
    if (marker >= 0xC1 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
      throw Failure("not a baseline JPEG");
    at += 2 + GetBig16(f, at + 2);
  }
  throw Failure("JPEG without a frame header");
}

void Check(const std::string& path, int width, int height, int bits) {
  const Bytes f = ReadFile(path);
  Format got{};
  if (f.size() > 2 && f[0] == 'B' && f[1] == 'M')
    got = BmpFormat(f);
  else if (f.size() > 2 && f[0] == 0xFF && f[1] == 0xD8)
    got = JpegFormat(f);
  else
    throw Failure(path + ": neither BMP nor JPEG");
  if (got.width != width || got.height != height || got.bits != bits)
    throw Failure(path + ": " + std::to_string(got.width) + "x" + std::to_string(got.height) + " at " +
                  std::to_string(got.bits) + " bits, expected " + std::to_string(width) + "x" + std::to_string(height) +
                  " at " + std::to_string(bits));
}

int Usage() {
  std::cerr << "usage: iconc cursor OUTPUT.cur SOURCE.txt\n"
               "       iconc icon OUTPUT.ico SIZE:BITS:IMAGE.rgba ...\n"
               "       iconc check PICTURE WIDTH HEIGHT BITS\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() == 3 && args[0] == "cursor") {
      WriteFile(args[1], IconFile({ReadCursorArt(args[2])}, true));
    } else if (args.size() >= 3 && args[0] == "icon") {
      std::vector<Image> images;
      for (size_t i = 2; i < args.size(); ++i) images.push_back(ReadIconImage(args[i]));
      WriteFile(args[1], IconFile(images, false));
    } else if (args.size() == 5 && args[0] == "check") {
      Check(args[1], std::stoi(args[2]), std::stoi(args[3]), std::stoi(args[4]));
    } else {
      return Usage();
    }
  } catch (const std::exception& e) {
    std::cerr << "iconc: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
