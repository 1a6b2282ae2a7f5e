// Apart from test_files.cpp, so that a program that only reads files links no program code.
#include "base/Filer.h"
#include "base/TextForm.h"
#include "test_files.h"

namespace testsupport {

void ReadRootFromText(const std::string& text, orv::TComponent* root) {
  orv::TMemoryStream binary;
  orv::ObjectTextToBinary(text, binary);
  binary.SetPosition(0);
  orv::ReadRootComponent(binary, root);
}

}  // namespace testsupport
