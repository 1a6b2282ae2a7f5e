// One whole erase from a cold start, as a user does it: "photo", Next, Start, Yes, wait,
// Finish, Exit, "exit". Runs on the virtual card reader of scripts/lib/vcard.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "mainwin_env.h"

using namespace e2e;

namespace {

std::vector<char> ReadImage() {
  const char* unixPath = std::getenv("ORVASIL_CARD_IMAGE");
  std::string path = std::string("Z:") + (unixPath ? unixPath : "");
  for (char& c : path)
    if (c == '/') c = '\\';
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Text(HWND w) {
  char buf[256] = {};
  GetWindowTextA(w, buf, sizeof buf);
  return buf;
}

}  // namespace

class ColdStartErase : public MainWindowTest {
protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("ORVASIL_CARD_IMAGE"), nullptr) << "run through scripts/lib/vcard";
    before = ReadImage();
    ASSERT_FALSE(before.empty());
    MainWindowTest::SetUp();
  }
  std::vector<char> before;
};

TEST_F(ColdStartErase, ZeroesTheWholeCardAndEndsWithExitCodeZero) {
  Click(kPhoto);
  HWND wizard = WaitForWizard();
  ASSERT_NE(wizard, nullptr);
  HWND next = FindChild(wizard, "Button", "Next >");
  ASSERT_NE(next, nullptr);
  PushButton(next);
  ASSERT_TRUE(WaitFor([&] { return Text(next) == "Start"; }, 5000));
  // The card's drive is the only removable one, so it is chosen already.

  PushButton(next);
  HWND confirm = WaitForBox();
  ASSERT_NE(confirm, nullptr) << "the question before erasing";
  HWND yes = FindChild(confirm, "Button", "Yes");
  ASSERT_NE(yes, nullptr);
  PushButton(yes);

  HWND cancel = FindChild(wizard, "Button", nullptr);
  ASSERT_TRUE(WaitFor([&] { return (cancel = FindChild(wizard, "Button", "Finish")) != nullptr; }, 60000))
      << "the run ends on the Finish page";
  PushButton(cancel);
  ASSERT_TRUE(WaitFor([&] { return Text(cancel) == "Exit"; }, 5000)) << Text(cancel);
  PushButton(cancel);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(wizard); }, 5000));
  Click(kExit);
  EXPECT_EQ(program.WaitExit(20000), 0);

  const std::vector<char> after = ReadImage();
  ASSERT_EQ(after.size(), before.size()) << "the image must not grow";
  // Whole sectors are written: a last part-sector of the image keeps its fill.
  const size_t volume = after.size() / 512 * 512;
  size_t notZero = 0;
  for (size_t i = 0; i < volume; ++i) notZero += after[i] != 0;
  EXPECT_EQ(notZero, 0u) << "every sector of the card is zero";
  EXPECT_TRUE(std::equal(after.begin() + volume, after.end(), before.begin() + volume));
}
