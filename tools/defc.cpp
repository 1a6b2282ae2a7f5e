// defc: compiles a window definition in text form into the binary form that the program
// carries as RCDATA.
//
//   defc [-d DEPFILE] [--rc RCFILE] [-L DIR]... INPUT.dfm OUTPUT
//
// A binary property may take its bytes from a file, named relative to the first folder given
// with -L that holds it (the build's rendered content), else to INPUT's folder:
//   CData = @file('lang/english.lng')
// A "CData" value holds the file zlib-compressed at the default level (as a stored data
// stream with Compressed = True writes it); any other property holds the bytes as they are.
// --rc writes a resource line naming the output after the root's class in capitals
// (TMAINFORM RCDATA "OUTPUT"); -d writes the files read, for the build's dependency scan.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "base/Exceptions.h"
#include "ToolFiles.h"
#include "base/Filer.h"
#include "base/TextForm.h"
#include "base/ZStreams.h"

using namespace orv;
using orv::tools::ReadFile;
using orv::tools::WriteFile;

namespace {

std::string Deflate(const std::string& plain) {
  TMemoryStream out;
  {
    TCompressionStream zip(out);
    zip.WriteBuffer(plain.data(), static_cast<int64_t>(plain.size()));
    zip.Finish();
  }
  return out.ToString();
}

bool EndsWithName(const std::string& propName, const char* name) {
  const size_t dot = propName.rfind('.');
  return SameText(dot == std::string::npos ? propName : propName.substr(dot + 1), name);
}

std::string RootClassName(const std::string& binary) {
  size_t at = 4;
  if (at < binary.size() && (static_cast<uint8_t>(binary[at]) & 0xF0) == 0xF0)
    throw Exception("the root must be a plain object");
  if (at >= binary.size()) throw Exception("empty definition");
  std::string name = binary.substr(at + 1, static_cast<uint8_t>(binary[at]));
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name;
}

std::string EscapeDep(const std::string& path) {
  std::string out;
  for (char c : path) {
    if (c == ' ' || c == '#' || c == ':') out += '\\';
    if (c == '$') out += '$';
    out += c;
  }
  return out;
}

int Usage() {
  std::cerr << "usage: defc [-d DEPFILE] [--rc RCFILE] [-L DIR]... INPUT.dfm OUTPUT\n";
  return 2;
}

std::string Locate(const std::vector<std::string>& searchDirs, const std::string& folder, const std::string& path) {
  for (const std::string& dir : searchDirs)
    if (std::ifstream(dir + path, std::ios::binary)) return dir + path;
  return folder + path;
}

}  // namespace

int main(int argc, char** argv) {
  std::string depFile, rcFile;
  std::vector<std::string> args, searchDirs;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if ((a == "-d" || a == "--rc") && i + 1 < argc) {
      (a == "-d" ? depFile : rcFile) = argv[++i];
    } else if (a == "-L" && i + 1 < argc) {
      searchDirs.push_back(std::string(argv[++i]) + "/");
    } else if (!a.empty() && a[0] == '-') {
      return Usage();
    } else {
      args.push_back(a);
    }
  }
  if (args.size() != 2) return Usage();
  const std::string& input = args[0];
  const std::string& output = args[1];
  const size_t slash = input.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : input.substr(0, slash + 1);

  std::vector<std::string> readFiles{input};
  try {
    TMemoryStream binary;
    ObjectTextToBinary(ReadFile(input), binary, [&](const std::string& propName, const std::string& path) {
      const std::string full = !path.empty() && path[0] == '/' ? path : Locate(searchDirs, folder, path);
      readFiles.push_back(full);
      std::string bytes = ReadFile(full);
      return EndsWithName(propName, "CData") ? Deflate(bytes) : bytes;
    });
    const std::string bytes = binary.ToString();
    WriteFile(output, bytes);
    if (!rcFile.empty()) WriteFile(rcFile, RootClassName(bytes) + " RCDATA \"" + output + "\"\n");
    if (!depFile.empty()) {
      std::string deps = EscapeDep(output) + ":";
      for (const std::string& f : readFiles) deps += " " + EscapeDep(f);
      WriteFile(depFile, deps + "\n");
    }
  } catch (const Exception& e) {
    std::cerr << input << ": " << e.Message() << "\n";
    return 1;
  }
  return 0;
}
