#pragma once
// Helpers for driving orvasil.exe from a test program, as a user would.
#include <windows.h>

#include <string>

namespace e2e {

// The program under test, from ORVASIL_EXE (a Unix path, reached through drive Z:).
std::string ProgramPath();
// A Unix path as Wine's drive Z: shows it.
std::string WindowsPath(const std::string& unixPath);

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

// Finds a visible top-level window of the given process with that text, waiting up to Ms.
HWND WaitForWindow(DWORD pid, const char* className, const char* text, DWORD ms);

}  // namespace e2e

namespace e2e {

// The first visible descendant of Parent with that text (and class, when given), or null.
HWND FindChild(HWND parent, const char* text, const char* className = nullptr);
// Waits up to Ms for a visible descendant with that text (and class).
HWND WaitForChild(HWND parent, const char* text, DWORD ms, const char* className = nullptr);
// Presses a button as a click would (posted, so that a modal box it opens does not block us).
void PressButton(HWND button);

}  // namespace e2e
