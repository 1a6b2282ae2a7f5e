#pragma once
// The main window of a freshly started orvasil.exe, and the places a user clicks on it.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "e2e_util.h"

namespace e2e {

// Client points of the top bar's areas and of the title between them.
inline constexpr POINT kBack{20, 12}, kPhoto{150, 12}, kPrograms{320, 12}, kTitle{480, 12}, kExit{600, 12};
// The picture area starts under the 24-pixel top bar.
inline constexpr int kPictureTop = 24;

// A window's text.
std::string WindowText(HWND w);

class MainWindowTest : public ::testing::Test {
protected:
  void SetUp() override;
  void Click(POINT p) { ClickAt(main, p.x, p.y); }
  // The wizard's window, once it is shown.
  HWND WaitForWizard(DWORD ms = 20000) { return WaitForWindow(program.Id(), "TShredForm", nullptr, ms); }
  // The refusal box of the program, once it is shown.
  HWND WaitForBox(DWORD ms = 10000) { return WaitForWindow(program.Id(), "TForm", "Orvasil", ms); }
  // Leaves the wizard as a user does: Button (its Cancel, or Finish) leads to About, whose
  // Exit hides the wizard.
  void LeaveWizard(HWND wizard, HWND button);
  // "exit" while the wizard is shown: the refusal box comes, WhileShown runs while it is up,
  // its OK brings the wizard forward and the program goes on.
  void ExitIsRefused(HWND wizard, const std::function<void()>& whileShown = {});

  Process program;
  HWND main = nullptr;
};

}  // namespace e2e
