#include "mainwin_env.h"

namespace e2e {

std::string WindowText(HWND w) {
  char buf[256] = {};
  GetWindowTextA(w, buf, sizeof buf);
  return buf;
}

void MainWindowTest::SetUp() {
  ASSERT_TRUE(program.Start(ProgramPath())) << ProgramPath();
  main = WaitForWindow(program.Id(), "TMainForm", nullptr, 20000);
  ASSERT_NE(main, nullptr) << "no main window";
  // The first paint of the pictures.
  Sleep(500);
}

void MainWindowTest::LeaveWizard(HWND wizard, HWND button) {
  PushButton(button);
  ASSERT_TRUE(WaitFor([&] { return WindowText(button) == "Exit"; }, e2e::kStateWaitMs)) << WindowText(button);
  PushButton(button);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(wizard); }, e2e::kStateWaitMs));
}

void MainWindowTest::ExitIsRefused(HWND wizard, const std::function<void()>& whileShown) {
  SetForegroundWindow(main);
  Click(kExit);
  HWND box = WaitForBox();
  ASSERT_NE(box, nullptr) << "the refusal";
  if (whileShown) whileShown();
  HWND ok = FindChild(box, "Button", "OK");
  ASSERT_NE(ok, nullptr);
  PushButton(ok);
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == wizard; }, e2e::kStateWaitMs))
      << "the wizard comes forward";
  EXPECT_TRUE(IsWindowVisible(wizard));
  EXPECT_EQ(program.WaitExit(500), -1) << "still running";
}

}  // namespace e2e
