#include "test_files.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace testsupport {

std::string WinPath(const std::string& unixPath) {
  std::string s = !unixPath.empty() && unixPath[0] == '/' ? "Z:" + unixPath : unixPath;
  std::replace(s.begin(), s.end(), '/', '\\');
  return s;
}

std::string ReadFile(const std::string& path) {
#ifdef _WIN32
  std::ifstream in(WinPath(path), std::ios::binary);
#else
  std::ifstream in(path, std::ios::binary);
#endif
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

char CardLetter() {
  const char* letter = std::getenv("ORVASIL_CARD_LETTER");
  return letter ? letter[0] : 'E';
}

std::string CardImagePath() {
  const char* unixPath = std::getenv("ORVASIL_CARD_IMAGE");
  return unixPath ? WinPath(unixPath) : std::string();
}

std::vector<uint8_t> ReadCardImage() {
  const std::string bytes = ReadFile(CardImagePath());
  return {bytes.begin(), bytes.end()};
}

int64_t FirstNot(const std::vector<uint8_t>& image, int64_t from, int64_t to, uint8_t value) {
  auto it = std::find_if(image.begin() + from, image.begin() + to, [value](uint8_t b) { return b != value; });
  return it == image.begin() + to ? -1 : it - image.begin();
}

}  // namespace testsupport
