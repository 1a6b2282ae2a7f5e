#pragma once
// Whole-file reading and writing for the build tools. A written file appears only complete:
// the bytes go to a temporary file that is then renamed over the target.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "base/Exceptions.h"

namespace orv::tools {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Exception("cannot read " + path);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  const std::string temp = path + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw Exception("cannot write " + temp);
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) throw Exception("cannot write " + path);
}

}  // namespace orv::tools
