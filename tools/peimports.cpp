// peimports: lists the functions a Windows program (32 or 64-bit) imports, or checks them
// against allowlists of the functions that the oldest supported Windows versions export.
//
//   peimports EXE                 prints "dll function" per import ("dll @N" by ordinal)
//   peimports --allow DIR [--allow DIR2 ...] [--systems TEXT] [--subsystem M.N] EXE
//                                 fails, naming each import that no DIR/<dll>.txt lists
//
// A list holds one function name per line, "@N" for an ordinal, "#" starts a comment. A later
// folder's list adds to an earlier one's, and its "-name" lines take names away (a 64-bit DLL
// lacks some functions its 32-bit namesake exports). A DLL without a list is not on those
// systems at all. Delay-loaded imports found through the delay import directory are checked
// like the others: a missing one would fail at its first call instead of at load time, which
// is no better. (binutils 2.40 leaves that directory empty for dlltool's delay libraries, so
// the program must not use those.) The checked program must also carry the subsystem version
// the oldest system's loader accepts (4.0 for Windows 95 and NT 4.0 unless told otherwise).
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct TImport {
  std::string Dll;       // lower case, as the list files are named
  std::string Function;  // "@N" when imported by ordinal
  bool Delayed = false;
};

struct TSection {
  uint32_t Address, Size, Offset;
};

class TPeImage {
public:
  explicit TPeImage(std::string bytes) : bytes_(std::move(bytes)) { Parse(); }

  std::vector<TImport> Imports() const {
    std::vector<TImport> result;
    for (uint32_t d = imports_.Address; imports_.Size && U32(Off(d)) | U32(Off(d) + 12); d += 20) {
      const uint32_t lookup = U32(Off(d)) ? U32(Off(d)) : U32(Off(d) + 16);
      ReadThunks(Dll(U32(Off(d) + 12)), lookup, false, result);
    }
    for (uint32_t d = delayed_.Address; delayed_.Size && U32(Off(d + 4)); d += 32) {
      // Attribute bit 0 clear: an old-style descriptor holding addresses instead of RVAs
      // (32-bit images only; the low 32 bits of the image base are what such an address adds).
      const uint32_t base = (U32(Off(d)) & 1) ? 0 : static_cast<uint32_t>(imageBase_);
      ReadThunks(Dll(U32(Off(d + 4)) - base), U32(Off(d + 16)) - base, true, result, base);
    }
    return result;
  }

  bool Is64() const { return is64_; }

  unsigned SubsystemMajor() const { return subsystemMajor_; }
  unsigned SubsystemMinor() const { return subsystemMinor_; }

private:
  struct TDirectory {
    uint32_t Address = 0, Size = 0;
  };

  std::string bytes_;
  std::vector<TSection> sections_;
  TDirectory imports_, delayed_;
  uint64_t imageBase_ = 0;
  bool is64_ = false;
  unsigned subsystemMajor_ = 0, subsystemMinor_ = 0;

  uint32_t U16(size_t at) const { return Byte(at) | Byte(at + 1) << 8; }
  uint32_t U32(size_t at) const { return U16(at) | U16(at + 2) << 16; }
  uint32_t Byte(size_t at) const {
    if (at >= bytes_.size()) throw std::runtime_error("truncated file");
    return static_cast<unsigned char>(bytes_[at]);
  }

  void Parse() {
    if (U16(0) != 0x5A4D) throw std::runtime_error("not an MZ executable");
    const size_t pe = U32(0x3C);
    if (U32(pe) != 0x4550) throw std::runtime_error("no PE header");
    const size_t opt = pe + 24;
    // PE32 (0x10B) and PE32+ (0x20B) differ in the image base's width, and so in where the
    // data directories start.
    if (U16(opt) != 0x10B && U16(opt) != 0x20B) throw std::runtime_error("not a PE32 or PE32+ image");
    is64_ = U16(opt) == 0x20B;
    imageBase_ = is64_ ? U32(opt + 24) | uint64_t{U32(opt + 28)} << 32 : U32(opt + 28);
    subsystemMajor_ = U16(opt + 48);
    subsystemMinor_ = U16(opt + 50);
    const size_t dirTable = opt + (is64_ ? 112 : 96);
    const uint32_t dirs = U32(dirTable - 4);
    if (dirs > 1) imports_ = {U32(dirTable + 8), U32(dirTable + 12)};
    if (dirs > 13) delayed_ = {U32(dirTable + 13 * 8), U32(dirTable + 13 * 8 + 4)};
    const size_t table = opt + U16(pe + 20);
    for (uint32_t i = 0; i < U16(pe + 6); ++i) {
      const size_t s = table + i * 40;
      sections_.push_back({U32(s + 12), std::max(U32(s + 8), U32(s + 16)), U32(s + 20)});
    }
  }

  size_t Off(uint32_t rva) const {
    for (const TSection& s : sections_)
      if (rva >= s.Address && rva - s.Address < s.Size) return size_t{s.Offset} + (rva - s.Address);
    throw std::runtime_error("address outside every section");
  }

  std::string Text(uint32_t rva) const {
    std::string s;
    for (size_t at = Off(rva); Byte(at) != 0; ++at) s += static_cast<char>(Byte(at));
    return s;
  }

  std::string Dll(uint32_t rva) const {
    std::string name = Text(rva);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    if (name.size() > 4 && name.ends_with(".dll")) name.resize(name.size() - 4);
    return name;
  }

  void ReadThunks(const std::string& dll, uint32_t rva, bool delayed, std::vector<TImport>& out,
                  uint32_t base = 0) const {
    // A thunk is as wide as a pointer; its top bit marks an import by ordinal.
    const uint32_t width = is64_ ? 8 : 4;
    for (; rva; rva += width) {
      const uint32_t low = U32(Off(rva));
      const uint32_t high = is64_ ? U32(Off(rva) + 4) : 0;
      if (low == 0 && high == 0) break;
      if ((is64_ ? high : low) & 0x80000000u)
        out.push_back({dll, "@" + std::to_string(low & 0xFFFF), delayed});
      else
        out.push_back({dll, Text(low - base + 2), delayed});
    }
  }
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

struct TCheck {
  std::vector<std::string> Dirs;
  std::string Systems = "Windows 95 OSR2 and NT 4.0";
  unsigned SubsystemMajor = 4, SubsystemMinor = 0;
};

// The names Dll exports on the checked systems: every folder's list in turn, each adding its
// names and taking away its "-name" lines. Nothing when no folder holds a list for it.
const std::set<std::string>* AllowList(const std::vector<std::string>& dirs, const std::string& dll,
                                       std::map<std::string, std::set<std::string>>& lists) {
  auto it = lists.find(dll);
  if (it != lists.end()) return &it->second;
  std::set<std::string> names;
  bool found = false;
  for (const std::string& dir : dirs) {
    std::ifstream in(dir + "/" + dll + ".txt");
    if (!in) continue;
    found = true;
    for (std::string line; std::getline(in, line);) {
      line = line.substr(0, line.find('#'));
      std::istringstream words(line);
      for (std::string word; words >> word;) {
        if (word.size() > 1 && word[0] == '-')
          names.erase(word.substr(1));
        else
          names.insert(word);
      }
    }
  }
  if (!found) return nullptr;
  return &lists.emplace(dll, std::move(names)).first->second;
}

int Check(const TPeImage& image, const std::string& exe, const TCheck& check) {
  std::map<std::string, std::set<std::string>> lists;
  std::set<std::string> unlistedDlls;
  int bad = 0;
  for (const TImport& imp : image.Imports()) {
    const char* how = imp.Delayed ? " (delay-loaded)" : "";
    const std::set<std::string>* allowed = AllowList(check.Dirs, imp.Dll, lists);
    if (!allowed) {
      if (unlistedDlls.insert(imp.Dll).second)
        std::cout << exe << ": imports from " << imp.Dll << ".dll, which has no list of functions that "
                  << check.Systems << " export" << how << "\n";
      ++bad;
    } else if (!allowed->contains(imp.Function)) {
      std::cout << exe << ": imports " << imp.Function << " from " << imp.Dll << ".dll" << how << ", which "
                << check.Systems << " do not both export\n";
      ++bad;
    }
  }
  if (image.SubsystemMajor() != check.SubsystemMajor || image.SubsystemMinor() != check.SubsystemMinor) {
    std::cout << exe << ": subsystem version " << image.SubsystemMajor() << "." << image.SubsystemMinor()
              << ", the oldest loaders need " << check.SubsystemMajor << "." << check.SubsystemMinor << "\n";
    ++bad;
  }
  if (bad) std::cout << bad << " import problem(s)\n";
  return bad ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    TCheck check;
    std::string exe;
    const auto usage = [] {
      std::cerr << "usage: peimports [--allow DIR ...] [--systems TEXT] [--subsystem M.N] EXE\n";
      return 2;
    };
    for (int i = 1; i < argc; ++i) {
      const std::string arg = argv[i];
      const bool valued = i + 1 < argc;
      if (arg == "--allow" && valued) {
        check.Dirs.push_back(argv[++i]);
      } else if (arg == "--systems" && valued) {
        check.Systems = argv[++i];
      } else if (arg == "--subsystem" && valued) {
        if (std::sscanf(argv[++i], "%u.%u", &check.SubsystemMajor, &check.SubsystemMinor) != 2) return usage();
      } else if (arg[0] != '-' && exe.empty()) {
        exe = arg;
      } else {
        return usage();
      }
    }
    if (exe.empty()) return usage();
    const TPeImage image(ReadFile(exe));
    if (!check.Dirs.empty()) return Check(image, exe, check);
    for (const TImport& imp : image.Imports())
      std::cout << imp.Dll << " " << imp.Function << (imp.Delayed ? " delay-loaded" : "") << "\n";
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "peimports: " << e.what() << "\n";
    return 2;
  }
}
