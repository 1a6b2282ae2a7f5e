#pragma once
// Files and streams for the tests, natively and under Wine: a file's bytes, paths as a Windows
// program under Wine sees them, the virtual card's image (scripts/lib/vcard), the program's
// English text, and objects saved to and loaded from bytes.
#include <cstdint>
#include <string>
#include <vector>

#include "base/Streams.h"

namespace orv {
class TComponent;
}

namespace testsupport {

// A Unix path as a Windows program under Wine sees it: "/a/b" is "Z:\a\b" (drive Z: is the
// Unix root). A path that does not start with '/' only has its slashes turned.
std::string WinPath(const std::string& unixPath);

// The bytes of the file at Path; empty when it cannot be read. Under Windows a Unix path is
// read through drive Z:.
std::string ReadFile(const std::string& path);

// The virtual card of scripts/lib/vcard, from the variables it sets: the drive letter ('E'
// when it sets none), the image file's path for this program, and the image's bytes.
char CardLetter();
std::string CardImagePath();
std::vector<uint8_t> ReadCardImage();
// Offset of the first byte in [From, To) that is not Value, or -1.
int64_t FirstNot(const std::vector<uint8_t>& image, int64_t from, int64_t to, uint8_t value);

// resources/lang/english.lng as it is stored; LoadEnglish puts it into GlobalLanguage (which
// the caller has initialized) and answers false when the file could not be read.
std::string EnglishText();
bool LoadEnglish();

// Saved is what Object.SaveToStream writes; Load gives Object.LoadFromStream the bytes.
template <class T>
std::string Saved(T& object) {
  orv::TMemoryStream s;
  object.SaveToStream(s);
  return s.ToString();
}

template <class T>
void Load(T& object, const std::string& bytes) {
  orv::TMemoryStream s(bytes);
  object.LoadFromStream(s);
}

// Reads Root and the components it owns from a window definition in text form, as the program
// reads its stored definitions.
void ReadRootFromText(const std::string& text, orv::TComponent* root);

}  // namespace testsupport
