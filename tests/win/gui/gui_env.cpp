#include "gui_env.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "app/Units.h"
#include "base/Streams.h"
#include "gui/Forms.h"
#include "lang/KLXLang.h"

namespace guitest {

namespace {

class UnitsEnvironment : public ::testing::Environment {
public:
  void SetUp() override { orv::InitializeUnits(); }
  void TearDown() override {
    poster_.reset();
    orv::FinalizeUnits();
  }
  static std::unique_ptr<orv::TUtilWindow> poster_;
};
std::unique_ptr<orv::TUtilWindow> UnitsEnvironment::poster_;

[[maybe_unused]] auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new UnitsEnvironment);

constexpr UINT kRunQueued = WM_APP + 7;

}  // namespace

std::string WinPath(const std::string& unixPath) {
  std::string s = "Z:" + unixPath;
  for (char& c : s)
    if (c == '/') c = '\\';
  return s;
}

std::string ReadUnixFile(const std::string& unixPath) {
  std::ifstream in(WinPath(unixPath), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void LoadEnglish() {
  const std::string s = ReadUnixFile(ORVASIL_ENGLISH_UNIX);
  ASSERT_FALSE(s.empty()) << "english.lng not found";
  orv::TMemoryStream stream;
  stream.WriteBuffer(s.data(), static_cast<int64_t>(s.size()));
  stream.SetPosition(0);
  orv::GlobalLanguage->LoadText(stream);
}

void RunFromMessageLoop(std::function<void()> fn) {
  if (!UnitsEnvironment::poster_) {
    UnitsEnvironment::poster_ = std::make_unique<orv::TUtilWindow>(
        [](HWND wnd, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
          if (msg != kRunQueued) return DefWindowProcA(wnd, msg, wp, lp);
          std::unique_ptr<std::function<void()>> f(reinterpret_cast<std::function<void()>*>(lp));
          (*f)();
          return 0;
        });
  }
  PostMessageA(UnitsEnvironment::poster_->Handle(), kRunQueued, 0,
               reinterpret_cast<LPARAM>(new std::function<void()>(std::move(fn))));
}

HWND ActiveTopWindow() { return GetActiveWindow(); }

}  // namespace guitest
