#include "mainwin_env.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace e2e {

std::vector<char> ReadCardImage() {
  const char* unixPath = std::getenv("ORVASIL_CARD_IMAGE");
  std::ifstream in(WindowsPath(unixPath ? unixPath : ""), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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
  ASSERT_TRUE(WaitFor([&] { return WindowText(button) == "Exit"; }, 5000)) << WindowText(button);
  PushButton(button);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(wizard); }, 5000));
}

}  // namespace e2e
