// imgc: writes an image-collection stream, the content that an image list's stored data
// stream carries, from picture files.
//
//   imgc [--list-name NAME] [--transparent-color COLOR] [--pixel-format FORMAT] OUTPUT CLASS:FILE...
//
// One item per CLASS:FILE, in order: CLASS is the graphic class that reads the file back
// ("TBitmap" for a BMP file, "TJPEGImage" for a JPEG file, "TIcon", "TMetafile"); BMP and JPEG
// files are read once here, so that a picture the program could not load fails the build.
// COLOR is a number (decimal, or hexadecimal after "$" or "0x") or a colour name such as clNone
// (the default) or clFuchsia; FORMAT is a pixel-format name, pfDevice to pfCustom (default
// pf24bit).
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "base/BmpFile.h"
#include "base/Exceptions.h"
#include "ToolFiles.h"
#include "base/TypeInfo.h"
#include "skin/KLJpegCodec.h"
#include "skin/KLXImgStream.h"

using namespace orv;
using orv::tools::ReadFile;
using orv::tools::WriteFile;

namespace {

const std::vector<std::pair<std::string, int32_t>> kColors = {
    {"clNone", 0x1FFFFFFF},  {"clDefault", 0x20000000}, {"clBlack", 0x000000},  {"clMaroon", 0x000080},
    {"clGreen", 0x008000},   {"clNavy", 0x800000},      {"clGray", 0x808080},   {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},     {"clLime", 0x00FF00},      {"clYellow", 0x00FFFF}, {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},      {"clWhite", 0xFFFFFF}};

const char* const kPixelFormats[] = {"pfDevice", "pf1bit",  "pf4bit",  "pf8bit",  "pf15bit",
                                     "pf16bit",  "pf24bit", "pf32bit", "pfCustom"};

int32_t ParseColor(const std::string& text) {
  for (const auto& [name, value] : kColors)
    if (SameText(name, text)) return value;
  std::string digits = text;
  int base = 10;
  if (digits.rfind('$', 0) == 0)
    digits.erase(0, 1), base = 16;
  else if (digits.rfind("0x", 0) == 0 || digits.rfind("0X", 0) == 0)
    digits.erase(0, 2), base = 16;
  size_t used = 0;
  long long value = 0;
  try {
    value = std::stoll(digits, &used, base);
  } catch (const std::exception&) {
    used = 0;
  }
  if (digits.empty() || used != digits.size() || value < INT32_MIN || value > UINT32_MAX)
    throw Exception("not a colour: " + text);
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

uint8_t ParsePixelFormat(const std::string& text) {
  for (uint8_t i = 0; i <= ImagesMaxPixelFormat; ++i)
    if (SameText(kPixelFormats[i], text)) return i;
  throw Exception("not a pixel format: " + text);
}

// Reads the picture as the program will, so that a file it cannot load stops the build here.
void CheckPicture(const std::string& cls, const std::string& bytes, const std::string& path) {
  try {
    if (SameText(cls, "TBitmap")) {
      TMemoryStream in;
      in.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
      in.SetPosition(0);
      ReadBmp(in);
    } else if (SameText(cls, "TJPEGImage")) {
      DecodeJpeg(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
  } catch (const Exception& e) {
    throw Exception(path + ": " + e.Message());
  }
}

void AddItem(TCollection& items, const std::string& arg) {
  const size_t colon = arg.find(':');
  if (colon == 0 || colon == std::string::npos) throw Exception("expected CLASS:FILE, got " + arg);
  const std::string cls = arg.substr(0, colon);
  const std::string path = arg.substr(colon + 1);
  const std::string bytes = ReadFile(path);
  CheckPicture(cls, bytes, path);
  auto& item = static_cast<TKLXImageItem&>(*items.Add());
  item.SetDataClass(cls);
  item.Image()->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

int Usage() {
  std::cerr << "usage: imgc [--list-name NAME] [--transparent-color COLOR] [--pixel-format FORMAT] OUTPUT "
               "CLASS:FILE...\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  TKLXImagesHeader header;
  std::vector<std::string> rest;
  try {
    for (int i = 1; i < argc; ++i) {
      const std::string a = argv[i];
      const bool option = a == "--list-name" || a == "--transparent-color" || a == "--pixel-format";
      if (!option) {
        rest.push_back(a);
        continue;
      }
      if (i + 1 >= argc) return Usage();
      const std::string value = argv[++i];
      if (a == "--list-name")
        header.ListName = value;
      else if (a == "--transparent-color")
        header.TransparentColor = ParseColor(value);
      else
        header.PixelFormat = ParsePixelFormat(value);
    }
    if (rest.empty()) return Usage();
    TOwnedCollection items(nullptr, TKLXImageItem::StaticClassInfo());
    for (size_t i = 1; i < rest.size(); ++i) AddItem(items, rest[i]);
    TMemoryStream out;
    WriteImagesStream(out, header, items);
    WriteFile(rest[0], out.ToString());
  } catch (const std::exception& e) {
    std::cerr << "imgc: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
