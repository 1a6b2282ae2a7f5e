#pragma once
// Helpers for driving orvasil.exe from a test program, as a user would.
#include <windows.h>

#include <string>

#include "test_files.h"

namespace e2e {

// Paths as Wine's drive Z: shows them, and the virtual card's image: tests/support.
using testsupport::ReadCardImage;
using testsupport::WinPath;

// How long a test waits for a state the program reaches by itself (a page, a box, the
// foreground): the waits end as soon as it holds, so only a program that never gets there
// costs the whole time, and a slow or loaded machine does not fail the test.
constexpr DWORD kStateWaitMs = 30000;

// The program under test, from ORVASIL_EXE (a Unix path, reached through drive Z:).
std::string ProgramPath();

class Process {
public:
  Process() = default;
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  bool Start(const std::string& exe, const std::string& args = "");
  // Waits up to Ms milliseconds; answers the exit code, or -1 when still running.
  long WaitExit(DWORD ms);
  DWORD Id() const { return pi_.dwProcessId; }

private:
  PROCESS_INFORMATION pi_{};
};

// The pointer, moved and pressed as a user would (client coordinates of Wnd).
void MoveTo(HWND wnd, int x, int y);
void ClickAt(HWND wnd, int x, int y);
// Presses at From, moves to To in small steps, releases there.
void Drag(HWND wnd, POINT from, POINT to);
// A pixel of the screen at client point (x, y) of Wnd.
COLORREF ScreenPixel(HWND wnd, int x, int y);
// A child window (any depth) of that class and text; nullptr when there is none.
HWND FindChild(HWND parent, const char* className, const char* text);
// Clicks a push button as the mouse would and lets the program handle it.
void PushButton(HWND button);
// Runs Test every 50 ms until it holds or Ms have passed; answers its last result.
template <class F>
bool WaitFor(F test, DWORD ms) {
  for (DWORD waited = 0;; waited += 50) {
    if (test()) return true;
    if (waited >= ms) return false;
    Sleep(50);
  }
}

// Finds a visible top-level window of the given process with that text, waiting up to Ms.
HWND WaitForWindow(DWORD pid, const char* className, const char* text, DWORD ms);

// The first visible descendant of Parent with that text (and class, when given), or null.
HWND FindChildByText(HWND parent, const char* text, const char* className = nullptr);
// Waits up to Ms for a visible descendant with that text (and class).
HWND WaitForChild(HWND parent, const char* text, DWORD ms, const char* className = nullptr);
// Presses a button as a click would (posted, so that a modal box it opens does not block us).
void PressButton(HWND button);

}  // namespace e2e
