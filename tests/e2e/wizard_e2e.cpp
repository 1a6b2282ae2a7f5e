// The whole program on the virtual card (scripts/lib/vcard), driven as a user would: the main
// window opens the wizard, Next, Start, Yes, and the card is erased. With ORVASIL_E2E_PAUSE_MS
// set, it waits that long on every page, for screenshots.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e_util.h"

namespace {

void Pause() {
  const char* ms = std::getenv("ORVASIL_E2E_PAUSE_MS");
  Sleep(ms ? static_cast<DWORD>(std::atoi(ms)) : 200);
}

HWND MessageBoxOf(DWORD pid) { return e2e::WaitForWindow(pid, "TForm", "Orvasil", 20000); }

TEST(WizardEndToEnd, ThePhotoAreaOpensTheWizardThatErasesTheCard) {
  ASSERT_NE(std::getenv("ORVASIL_CARD_IMAGE"), nullptr) << "run through scripts/lib/vcard";
  const std::vector<uint8_t> before = e2e::ReadCardImage();
  ASSERT_FALSE(before.empty());
  e2e::Process p;
  ASSERT_TRUE(p.Start(e2e::ProgramPath()));
  HWND main = e2e::WaitForWindow(p.Id(), "TMainForm", "Orvasil", 20000);
  ASSERT_NE(main, nullptr);
  e2e::ClickAt(main, 150, 12);  // the top bar's "photo" area

  HWND wizard = e2e::WaitForWindow(p.Id(), "TShredForm", "Orvasil 2.0", 20000);
  ASSERT_NE(wizard, nullptr);
  Pause();
  // The main window refuses to close while the wizard shows.
  PostMessageA(main, WM_CLOSE, 0, 0);
  HWND refusal = MessageBoxOf(p.Id());
  ASSERT_NE(refusal, nullptr);
  ASSERT_NE(e2e::FindChildByText(refusal, "OK"), nullptr);
  e2e::PressButton(e2e::FindChildByText(refusal, "OK"));
  Sleep(300);
  EXPECT_EQ(p.WaitExit(0), -1) << "still running";

  HWND next = e2e::WaitForChild(wizard, "Next >", e2e::kStateWaitMs, "Button");
  ASSERT_NE(next, nullptr);
  e2e::PressButton(next);
  HWND start = e2e::WaitForChild(wizard, "Start", e2e::kStateWaitMs, "Button");
  ASSERT_NE(start, nullptr);
  // The page reads the card's geometry as it shows, after its buttons change.
  EXPECT_TRUE(
      e2e::WaitFor([&] { return e2e::FindChildByText(wizard, "Select Card Size") == nullptr; }, e2e::kStateWaitMs))
      << "the card's size group is hidden";
  Pause();
  e2e::PressButton(start);
  HWND question = MessageBoxOf(p.Id());
  ASSERT_NE(question, nullptr);
  Pause();
  HWND yes = e2e::FindChildByText(question, "Yes");
  ASSERT_NE(yes, nullptr);
  e2e::PressButton(yes);

  HWND another = e2e::WaitForChild(wizard, "Process Another Card", 60000, "Button");
  ASSERT_NE(another, nullptr) << "the Finish page";
  EXPECT_NE(e2e::FindChildByText(wizard, "Finish", "Button"), nullptr);
  Pause();
  const std::vector<uint8_t> after = e2e::ReadCardImage();
  ASSERT_EQ(after.size(), before.size());
  const size_t cluster = 4096;
  EXPECT_TRUE(std::all_of(after.begin(), after.begin() + cluster, [](uint8_t b) { return b == 0; }));
  const size_t zeroed =
      static_cast<size_t>(std::find_if(after.begin(), after.end(), [](uint8_t b) { return b != 0; }) - after.begin());
  EXPECT_TRUE(std::all_of(after.begin() + zeroed, after.end(), [](uint8_t b) { return b == 0xA5; }))
      << "one zeroed run from the start";
  EXPECT_GE(zeroed, after.size() / 2);

  // Finish asks for the About page first; Exit hides the wizard; the main window then closes.
  e2e::PressButton(e2e::FindChildByText(wizard, "Finish", "Button"));
  HWND exitButton = e2e::WaitForChild(wizard, "Exit", e2e::kStateWaitMs, "Button");
  ASSERT_NE(exitButton, nullptr);
  Pause();
  e2e::PressButton(exitButton);
  for (int i = 0; i < 100 && IsWindowVisible(wizard); ++i) Sleep(50);
  EXPECT_FALSE(IsWindowVisible(wizard));
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(p.WaitExit(20000), 0);
}

}  // namespace
