// Apart from test_files.cpp, so that a program that only reads files links no program code.
#include "lang/KLXLang.h"
#include "test_files.h"

namespace testsupport {

std::string EnglishText() { return ReadFile(ORVASIL_ENGLISH_UNIX); }

bool LoadEnglish() {
  const std::string text = EnglishText();
  if (text.empty()) return false;
  orv::TMemoryStream stream(text);
  orv::GlobalLanguage->LoadText(stream);
  return true;
}

}  // namespace testsupport
