// peimports: lists the functions a 32-bit Windows program imports, or checks them against
// allowlists of the functions that the oldest supported Windows versions export.
//
//   peimports EXE                 prints "dll function" per import ("dll @N" by ordinal)
//   peimports --allow DIR EXE     fails, naming each import that DIR/<dll>.txt does not list
//
// A list holds one function name per line, "@N" for an ordinal, "#" starts a comment. A DLL
// without a list is not on those systems at all. Delay-loaded imports found through the delay
// import directory are checked like the others: a missing one would fail at its first call
// instead of at load time, which is no better. (binutils 2.40 leaves that directory empty for
// dlltool's delay libraries, so the program must not use those.) The checked program must also
// keep subsystem version 4.0, or the old loaders refuse it.
#include <algorithm>
#include <cctype>
#include <cstdint>
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
      // Attribute bit 0 clear: an old-style descriptor holding addresses instead of RVAs.
      const uint32_t base = (U32(Off(d)) & 1) ? 0 : imageBase_;
      ReadThunks(Dll(U32(Off(d + 4)) - base), U32(Off(d + 16)) - base, true, result, base);
    }
    return result;
  }

  unsigned SubsystemMajor() const { return subsystemMajor_; }
  unsigned SubsystemMinor() const { return subsystemMinor_; }

private:
  struct TDirectory {
    uint32_t Address = 0, Size = 0;
  };

  std::string bytes_;
  std::vector<TSection> sections_;
  TDirectory imports_, delayed_;
  uint32_t imageBase_ = 0;
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
    if (U16(opt) != 0x10B) throw std::runtime_error("not a 32-bit PE image");
    imageBase_ = U32(opt + 28);
    subsystemMajor_ = U16(opt + 48);
    subsystemMinor_ = U16(opt + 50);
    const uint32_t dirs = U32(opt + 92);
    if (dirs > 1) imports_ = {U32(opt + 96 + 8), U32(opt + 96 + 12)};
    if (dirs > 13) delayed_ = {U32(opt + 96 + 13 * 8), U32(opt + 96 + 13 * 8 + 4)};
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
    for (uint32_t thunk; rva && (thunk = U32(Off(rva))) != 0; rva += 4) {
      if (thunk & 0x80000000u)
        out.push_back({dll, "@" + std::to_string(thunk & 0xFFFF), delayed});
      else
        out.push_back({dll, Text(thunk - base + 2), delayed});
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

// The list for Dll, or nothing when the folder holds none.
const std::set<std::string>* AllowList(const std::string& dir, const std::string& dll,
                                       std::map<std::string, std::set<std::string>>& lists) {
  auto it = lists.find(dll);
  if (it == lists.end()) {
    std::ifstream in(dir + "/" + dll + ".txt");
    if (!in) return nullptr;
    std::set<std::string> names;
    for (std::string line; std::getline(in, line);) {
      line = line.substr(0, line.find('#'));
      std::istringstream words(line);
      for (std::string word; words >> word;) names.insert(word);
    }
    it = lists.emplace(dll, std::move(names)).first;
  }
  return &it->second;
}

int Check(const TPeImage& image, const std::string& exe, const std::string& dir) {
  std::map<std::string, std::set<std::string>> lists;
  std::set<std::string> unlistedDlls;
  int bad = 0;
  for (const TImport& imp : image.Imports()) {
    const char* how = imp.Delayed ? " (delay-loaded)" : "";
    const std::set<std::string>* allowed = AllowList(dir, imp.Dll, lists);
    if (!allowed) {
      if (unlistedDlls.insert(imp.Dll).second)
        std::cout << exe << ": imports from " << imp.Dll << ".dll, which has no list of functions that "
                  << "Windows 95 OSR2 and NT 4.0 export" << how << "\n";
      ++bad;
    } else if (!allowed->contains(imp.Function)) {
      std::cout << exe << ": imports " << imp.Function << " from " << imp.Dll << ".dll" << how
                << ", which Windows 95 OSR2 or NT 4.0 does not export\n";
      ++bad;
    }
  }
  if (image.SubsystemMajor() != 4 || image.SubsystemMinor() != 0) {
    std::cout << exe << ": subsystem version " << image.SubsystemMajor() << "." << image.SubsystemMinor()
              << ", the old loaders need 4.0\n";
    ++bad;
  }
  if (bad) std::cout << bad << " import problem(s)\n";
  return bad ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    std::string allowDir, exe;
    for (int i = 1; i < argc; ++i) {
      if (std::strcmp(argv[i], "--allow") == 0 && i + 1 < argc)
        allowDir = argv[++i];
      else
        exe = argv[i];
    }
    if (exe.empty()) {
      std::cerr << "usage: peimports [--allow DIR] EXE\n";
      return 2;
    }
    const TPeImage image(ReadFile(exe));
    if (!allowDir.empty()) return Check(image, exe, allowDir);
    for (const TImport& imp : image.Imports())
      std::cout << imp.Dll << " " << imp.Function << (imp.Delayed ? " delay-loaded" : "") << "\n";
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "peimports: " << e.what() << "\n";
    return 2;
  }
}
