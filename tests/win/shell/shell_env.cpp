#include "shell_env.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/Units.h"
#include "base/Streams.h"
#include "gui/Forms.h"
#include "lang/KLXLang.h"

namespace shelltest {

namespace {
class UnitsEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    orv::InitializeUnits();
    orv::Application->Initialize();
  }
  void TearDown() override { orv::FinalizeUnits(); }
};
[[maybe_unused]] auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new UnitsEnvironment);
}  // namespace

std::string WinPath(const std::string& unixPath) {
  std::string s = "Z:" + unixPath;
  for (char& c : s)
    if (c == '/') c = '\\';
  return s;
}

void LoadEnglish() {
  std::ifstream in(WinPath(ORVASIL_ENGLISH_UNIX), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const std::string s = text.str();
  ASSERT_FALSE(s.empty()) << "english.lng not found";
  orv::TMemoryStream stream;
  stream.WriteBuffer(s.data(), static_cast<int64_t>(s.size()));
  stream.SetPosition(0);
  orv::GlobalLanguage->LoadText(stream);
}

}  // namespace shelltest
