#include "e2e_util.h"

#include <cstdlib>

namespace e2e {

std::string ProgramPath() {
  const char* p = std::getenv("ORVASIL_EXE");
  return WinPath(p ? p : "");
}

Process::~Process() {
  if (pi_.hProcess) {
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 99);
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
  }
}

bool Process::Start(const std::string& exe, const std::string& args) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  std::string cmd = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
  return CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_) != 0;
}

long Process::WaitExit(DWORD ms) {
  if (WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(pi_.hProcess, &code);
  return static_cast<long>(code);
}

namespace {
struct Search {
  DWORD pid;
  const char* cls;
  const char* text;
  HWND found;
};

BOOL CALLBACK Match(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != s->pid || !IsWindowVisible(w)) return TRUE;
  char buf[256];
  if (s->cls && (!GetClassNameA(w, buf, sizeof buf) || lstrcmpA(buf, s->cls) != 0)) return TRUE;
  if (s->text && (GetWindowTextA(w, buf, sizeof buf) < 0 || lstrcmpA(buf, s->text) != 0)) return TRUE;
  s->found = w;
  return FALSE;
}
}  // namespace

HWND WaitForWindow(DWORD pid, const char* className, const char* text, DWORD ms) {
  for (DWORD waited = 0;; waited += 50) {
    Search s{pid, className, text, nullptr};
    EnumWindows(Match, reinterpret_cast<LPARAM>(&s));
    if (s.found || waited >= ms) return s.found;
    Sleep(50);
  }
}

void MoveTo(HWND wnd, int x, int y) {
  POINT p{x, y};
  ClientToScreen(wnd, &p);
  SetCursorPos(p.x, p.y);
  mouse_event(MOUSEEVENTF_MOVE, 0, 0, 0, 0);
  Sleep(150);
}

void ClickAt(HWND wnd, int x, int y) {
  MoveTo(wnd, x, y);
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  Sleep(50);
  mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
  Sleep(300);
}

void Drag(HWND wnd, POINT from, POINT to) {
  MoveTo(wnd, from.x, from.y);
  POINT start = from;
  ClientToScreen(wnd, &start);
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  Sleep(100);
  const int steps = 10;
  for (int i = 1; i <= steps; ++i) {
    SetCursorPos(start.x + (to.x - from.x) * i / steps, start.y + (to.y - from.y) * i / steps);
    mouse_event(MOUSEEVENTF_MOVE, 0, 0, 0, 0);
    Sleep(40);
  }
  mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
  Sleep(300);
}

COLORREF ScreenPixel(HWND wnd, int x, int y) {
  POINT p{x, y};
  ClientToScreen(wnd, &p);
  HDC dc = GetDC(nullptr);
  const COLORREF c = GetPixel(dc, p.x, p.y);
  ReleaseDC(nullptr, dc);
  return c;
}

namespace {
struct ChildSearch {
  const char* cls;
  const char* text;
  bool visibleOnly;
  HWND found;
};

BOOL CALLBACK MatchChild(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<ChildSearch*>(lp);
  char buf[256];
  if (s->visibleOnly && !IsWindowVisible(w)) return TRUE;
  if (s->cls && (!GetClassNameA(w, buf, sizeof buf) || lstrcmpiA(buf, s->cls) != 0)) return TRUE;
  if (s->text && (GetWindowTextA(w, buf, sizeof buf) < 0 || lstrcmpA(buf, s->text) != 0)) return TRUE;
  s->found = w;
  return FALSE;
}

HWND SearchChildren(HWND parent, const char* className, const char* text, bool visibleOnly) {
  ChildSearch s{className, text, visibleOnly, nullptr};
  EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&s));
  return s.found;
}
}  // namespace

HWND FindChild(HWND parent, const char* className, const char* text) {
  return SearchChildren(parent, className, text, false);
}

void PushButton(HWND button) {
  PostMessageA(button, BM_CLICK, 0, 0);
  Sleep(300);
}

HWND FindChildByText(HWND parent, const char* text, const char* className) {
  return SearchChildren(parent, className, text, true);
}

HWND WaitForChild(HWND parent, const char* text, DWORD ms, const char* className) {
  for (DWORD waited = 0;; waited += 50) {
    if (HWND found = FindChildByText(parent, text, className)) return found;
    if (waited >= ms) return nullptr;
    Sleep(50);
  }
}

void PressButton(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

}  // namespace e2e
