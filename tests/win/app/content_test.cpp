// What the program carries besides its code: the screen cursors, the icon, the arrow glyphs of
// the skinned controls, the manifest and the version resource. The exe is loaded as a data file,
// and each cursor and icon picture is handed to the system's own loader.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "test_files.h"

namespace {

using testsupport::WinPath;

class ExeResources : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    module_ = LoadLibraryExA(WinPath(ORVASIL_EXE_UNIX).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  static void TearDownTestSuite() {
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
  }
  void SetUp() override { ASSERT_NE(module_, nullptr) << "cannot load " << ORVASIL_EXE_UNIX; }

  // The bytes of a resource, empty when it is missing.
  static std::vector<BYTE> Resource(LPCSTR name, LPCSTR type) {
    HRSRC found = FindResourceA(module_, name, type);
    if (!found) return {};
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(module_, found)));
    return std::vector<BYTE>(data, data + SizeofResource(module_, found));
  }

  static HMODULE module_;
};
HMODULE ExeResources::module_ = nullptr;

#pragma pack(push, 2)
struct GroupHeader {
  WORD reserved, type, count;
};
struct GroupEntry {  // a cursor's width and height words, an icon's bytes and colour count
  BYTE width, height, colours, reserved;
  WORD planes, bits;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)
static_assert(sizeof(GroupEntry) == 14);

std::vector<GroupEntry> Entries(const std::vector<BYTE>& group) {
  std::vector<GroupEntry> entries;
  if (group.size() < sizeof(GroupHeader)) return entries;
  GroupHeader header;
  std::memcpy(&header, group.data(), sizeof header);
  for (size_t i = 0; i < header.count && sizeof header + (i + 1) * sizeof(GroupEntry) <= group.size(); ++i) {
    GroupEntry e;
    std::memcpy(&e, group.data() + sizeof header + i * sizeof e, sizeof e);
    entries.push_back(e);
  }
  return entries;
}

BITMAPINFOHEADER Header(const std::vector<BYTE>& dib, size_t at = 0) {
  BITMAPINFOHEADER h{};
  if (dib.size() >= at + sizeof h) std::memcpy(&h, dib.data() + at, sizeof h);
  return h;
}

struct Cursor {
  const char* name;
  bool hotSpotOnTopRow;  // the pointing hand points with its top
};

TEST_F(ExeResources, EachCursorIsAMonochrome32PixelPictureThatTheSystemLoads) {
  for (const Cursor& c : {Cursor{"CRHMOVE", false}, Cursor{"CRHPOINT", true}, Cursor{"CRPICK", false}}) {
    SCOPED_TRACE(c.name);
    const std::vector<GroupEntry> entries = Entries(Resource(c.name, MAKEINTRESOURCEA(12)));  // RT_GROUP_CURSOR
    ASSERT_EQ(entries.size(), 1u);
    std::vector<BYTE> data = Resource(MAKEINTRESOURCEA(entries[0].id), MAKEINTRESOURCEA(1));  // RT_CURSOR
    ASSERT_GT(data.size(), 4 + sizeof(BITMAPINFOHEADER));
    const WORD hotX = data[0] | (data[1] << 8), hotY = data[2] | (data[3] << 8);
    const BITMAPINFOHEADER h = Header(data, 4);
    EXPECT_EQ(h.biWidth, 32);
    EXPECT_EQ(h.biHeight, 64);  // colour and mask
    EXPECT_EQ(h.biBitCount, 1);

    // AND mask bit 0 means the pixel covers the screen; rows are stored bottom-up.
    const BYTE* mask = data.data() + 4 + h.biSize + 2 * sizeof(RGBQUAD) + 32 * 4;
    auto covers = [&](int x, int y) { return !(mask[(31 - y) * 4 + x / 8] & (0x80 >> (x % 8))); };
    EXPECT_TRUE(covers(hotX, hotY)) << "hot spot " << hotX << "," << hotY << " lies outside the hand";
    if (c.hotSpotOnTopRow) {
      for (int y = 0; y < hotY; ++y) {
        for (int x = 0; x < 32; ++x) EXPECT_FALSE(covers(x, y)) << "the hand reaches above its hot spot";
      }
    }

    HICON loaded = CreateIconFromResourceEx(data.data(), static_cast<DWORD>(data.size()), FALSE, 0x00030000, 32, 32, 0);
    ASSERT_NE(loaded, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(loaded, &info));
    EXPECT_EQ(info.xHotspot, hotX);
    EXPECT_EQ(info.yHotspot, hotY);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DestroyCursor(loaded);
  }
}

TEST_F(ExeResources, TheIconComesIn16_32And48PixelsWithAlphaAndIn256Colours) {
  const std::vector<GroupEntry> entries =
      Entries(Resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14)));  // RT_GROUP_ICON
  std::set<std::pair<int, int>> found;
  for (const GroupEntry& e : entries) {
    SCOPED_TRACE(std::to_string(e.width) + " pixels, " + std::to_string(e.bits) + " bits");
    std::vector<BYTE> data = Resource(MAKEINTRESOURCEA(e.id), MAKEINTRESOURCEA(3));  // RT_ICON
    const BITMAPINFOHEADER h = Header(data);
    EXPECT_EQ(h.biWidth, e.width);
    EXPECT_EQ(h.biHeight, 2 * e.width);
    EXPECT_EQ(h.biBitCount, e.bits);
    HICON icon =
        CreateIconFromResourceEx(data.data(), static_cast<DWORD>(data.size()), TRUE, 0x00030000, e.width, e.width, 0);
    EXPECT_NE(icon, nullptr);
    if (icon) DestroyIcon(icon);
    found.insert({e.width, e.bits});
  }
  const std::set<std::pair<int, int>> expected{{16, 8}, {16, 32}, {32, 8}, {32, 32}, {48, 8}, {48, 32}};
  EXPECT_EQ(found, expected);
}

TEST_F(ExeResources, EachArrowIsADarkGlyphOnMagenta) {
  for (const char* name : {"LARROW", "RARROW", "LRHOLD", "UARROW", "DARROW", "UDHOLD"}) {
    SCOPED_TRACE(name);
    const std::vector<BYTE> dib = Resource(name, MAKEINTRESOURCEA(2));  // RT_BITMAP
    const BITMAPINFOHEADER h = Header(dib);
    ASSERT_EQ(h.biWidth, 15);
    ASSERT_EQ(h.biHeight, 15);
    ASSERT_EQ(h.biBitCount, 24);
    ASSERT_EQ(h.biCompression, static_cast<DWORD>(BI_RGB));
    const size_t row = 48;  // 15 pixels of 3 bytes, padded to 4
    ASSERT_GE(dib.size(), h.biSize + 15 * row);
    auto pixel = [&](int x, int y) {
      const BYTE* p = dib.data() + h.biSize + (14 - y) * row + x * 3;
      return RGB(p[2], p[1], p[0]);
    };
    EXPECT_EQ(pixel(0, 0), RGB(255, 0, 255));
    EXPECT_EQ(pixel(14, 14), RGB(255, 0, 255));
    const COLORREF centre = pixel(7, 7);
    EXPECT_LT(GetRValue(centre) + GetGValue(centre) + GetBValue(centre), 3 * 96) << "the glyph is not dark";
  }
}

#ifdef _WIN64
constexpr const char* kProgramFile = "orvasil64.exe";
constexpr const char* kManifestArch = "processorArchitecture=\"amd64\"";
#else
constexpr const char* kProgramFile = "orvasil.exe";
constexpr const char* kManifestArch = "processorArchitecture=\"x86\"";
#endif

// The loader picks the common controls of the architecture the manifest names: a 64-bit
// program naming x86 would get none of version 6 (and on Windows, not start at all).
TEST_F(ExeResources, TheManifestNamesTheArchitectureTheProgramIsBuiltFor) {
  const std::vector<BYTE> bytes = Resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_FALSE(bytes.empty());
  const std::string manifest(bytes.begin(), bytes.end());
  size_t count = 0;
  for (size_t at = manifest.find("processorArchitecture="); at != std::string::npos;
       at = manifest.find("processorArchitecture=", at + 1)) {
    EXPECT_EQ(manifest.compare(at, std::strlen(kManifestArch), kManifestArch), 0) << manifest.substr(at, 32);
    ++count;
  }
  EXPECT_EQ(count, 2u) << "the program and the common controls each name one";
}

std::string VersionString(const std::vector<BYTE>& block, const char* key) {
  std::vector<BYTE> copy = block;  // VerQueryValue may write into the block
  char* value = nullptr;
  UINT length = 0;
  const std::string path = std::string("\\StringFileInfo\\040904E4\\") + key;
  if (!VerQueryValueA(copy.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return {};
  return std::string(value);
}

TEST_F(ExeResources, TheVersionResourceNamesTheProductItsMakerAndVersion2) {
  const std::vector<BYTE> block = Resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));  // RT_VERSION
  ASSERT_FALSE(block.empty());
  std::vector<BYTE> copy = block;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(copy.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00020000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00020000u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  EXPECT_EQ(VersionString(block, "ProductName"), "Orvasil");
  EXPECT_EQ(VersionString(block, "CompanyName"), "Tremalon");
  EXPECT_EQ(VersionString(block, "FileVersion"), "2.0.0.0");
  EXPECT_EQ(VersionString(block, "ProductVersion"), "2.0.0.0");
  EXPECT_EQ(VersionString(block, "OriginalFilename"), kProgramFile);
  EXPECT_EQ(VersionString(block, "FileDescription"), "Orvasil - memory card eraser");
  EXPECT_EQ(VersionString(block, "LegalCopyright"), "Copyright \xA9 2011 Tremalon");
}

}  // namespace
