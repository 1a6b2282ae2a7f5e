// Whole erases through the program, as a user does them, on the virtual card reader of
// scripts/lib/vcard: one from a cold start ("photo", Next, Start, Yes, wait, Finish, Exit,
// "exit"), and one during which the user clicks "exit".
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "mainwin_env.h"

using namespace e2e;

class CardErase : public MainWindowTest {
protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("ORVASIL_CARD_IMAGE"), nullptr) << "run through scripts/lib/vcard";
    before = ReadCardImage();
    ASSERT_FALSE(before.empty());
    MainWindowTest::SetUp();
  }

  static bool Win98Mode() {
    const char* mode = std::getenv("ORVASIL_CARD_WIN98");
    return mode && std::string(mode) == "true";
  }

  // "photo", Next, Start, Yes: the run starts.
  void StartTheRun() {
    Click(kPhoto);
    wizard = WaitForWizard();
    ASSERT_NE(wizard, nullptr);
    HWND next = FindChild(wizard, "Button", "Next >");
    ASSERT_NE(next, nullptr);
    PushButton(next);
    ASSERT_TRUE(WaitFor([&] { return WindowText(next) == "Start"; }, e2e::kStateWaitMs));
    // The card's drive is the only removable one, so it is chosen already.
    PushButton(next);
    HWND confirm = WaitForBox();
    ASSERT_NE(confirm, nullptr) << "the question before erasing";
    HWND yes = FindChild(confirm, "Button", "Yes");
    ASSERT_NE(yes, nullptr);
    PushButton(yes);
  }

  // Waits for the Finish page, leaves the wizard through About, and ends the program with
  // "exit".
  // In Windows 98 mode Wine tells no length of the card: the run ends with a warning that its
  // end was not reached, answered with OK.
  void FinishAndExit(DWORD runMs) {
    HWND button = nullptr;
    HWND warning = nullptr;
    const auto ended = [&] {
      button = FindChild(wizard, "Button", "Finish");
      warning = Win98Mode() ? WaitForBox(0) : nullptr;
      return button != nullptr || warning != nullptr;
    };
    ASSERT_TRUE(WaitFor(ended, runMs)) << "the run ends on the Finish page";
    if (warning) {
      HWND ok = FindChild(warning, "Button", "OK");
      ASSERT_NE(ok, nullptr);
      PushButton(ok);
      ASSERT_TRUE(WaitFor([&] { return (button = FindChild(wizard, "Button", "Finish")) != nullptr; }, 10000));
    }
    LeaveWizard(wizard, button);
    if (HasFatalFailure()) return;
    Click(kExit);
    EXPECT_EQ(program.WaitExit(20000), 0);
  }

  // Every byte the run covers is zero, every other byte as it was: on the NT family the
  // volume up to its last whole sector, on the 9x family (which tells no length) the card's
  // cluster range.
  void ExpectCardErased() {
    const std::vector<uint8_t> after = ReadCardImage();
    ASSERT_EQ(after.size(), before.size()) << "the image must not grow";
    size_t covered = after.size() / 512 * 512;
    if (Win98Mode()) {
      const std::string root = std::string(1, std::getenv("ORVASIL_CARD_LETTER")[0]) + ":\\";
      DWORD spc = 0, bps = 0, freeClusters = 0, clusters = 0;
      ASSERT_TRUE(GetDiskFreeSpaceA(root.c_str(), &spc, &bps, &freeClusters, &clusters));
      covered = std::min(after.size(), static_cast<size_t>((clusters + 1ULL) * spc * bps));
    }
    const auto notZero = std::find_if(after.begin(), after.begin() + covered, [](uint8_t c) { return c != 0; });
    EXPECT_EQ(notZero - after.begin(), static_cast<long>(covered)) << "every byte the run covers is zero";
    EXPECT_TRUE(std::equal(after.begin() + covered, after.end(), before.begin() + covered));
  }

  std::vector<uint8_t> before;
  HWND wizard = nullptr;
};

TEST_F(CardErase, ZeroesTheWholeCardFromAColdStartAndEndsWithExitCodeZero) {
  StartTheRun();
  if (HasFatalFailure()) return;
  FinishAndExit(60000);
  ExpectCardErased();
}

// The run pumps messages as it goes, so a click on "exit" lands in the middle of it. The
// card must be slow enough for that: in Windows 98 mode Wine serves the absolute-disk writes
// at a megabyte or two a second, so a run over a few megabytes lasts seconds.
TEST_F(CardErase, ExitDuringTheRunIsRefusedAndTheRunGoesOnToAWholeErase) {
  StartTheRun();
  if (HasFatalFailure()) return;
  HWND progress = FindChild(wizard, "msctls_progress32", nullptr);
  ASSERT_NE(progress, nullptr);
  auto position = [&] { return static_cast<int>(SendMessageA(progress, PBM_GETPOS, 0, 0)); };
  ASSERT_TRUE(WaitFor([&] { return position() > 0; }, 20000)) << "the run is writing";

  ExitIsRefused(wizard, [&] {
    // The run waits in its message pump while the box is up: it was stopped mid-way.
    EXPECT_EQ(FindChild(wizard, "Button", "Finish"), nullptr) << "the run had ended before the click";
    EXPECT_LT(position(), 100);
  });
  if (HasFatalFailure()) return;

  FinishAndExit(140000);
  ExpectCardErased();
}
