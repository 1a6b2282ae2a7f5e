#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/ScopeGuard.h"
#include "e2e_util.h"
#include "win/Handles.h"
#include "gui/WindowNames.h"

namespace {

using orv::kApplicationClassName;
using orv::kMainFormClassName;

std::string ClassOf(HWND w) {
  char buf[256] = {};
  GetClassNameA(w, buf, sizeof buf);
  return buf;
}

struct WindowsOf {
  DWORD pid;
  std::vector<HWND> found;
  bool visibleOnly;
};

BOOL CALLBACK CollectProc(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<WindowsOf*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == s->pid && (!s->visibleOnly || IsWindowVisible(w))) s->found.push_back(w);
  return TRUE;
}

std::vector<HWND> TopWindows(DWORD pid, bool visibleOnly) {
  WindowsOf s{pid, {}, visibleOnly};
  EnumWindows(CollectProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND AppWindowOf(DWORD pid) {
  for (HWND w : TopWindows(pid, false))
    if (ClassOf(w) == kApplicationClassName) return w;
  return nullptr;
}

void Pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

// Waits for a process while handling this thread's messages; notes whether it ever showed a window.
long WaitPumping(e2e::Process& p, DWORD ms, bool* showedWindow = nullptr) {
  for (DWORD waited = 0; waited < ms; waited += 20) {
    long code = p.WaitExit(0);
    if (code != -1) return code;
    if (showedWindow && !TopWindows(p.Id(), true).empty()) *showedWindow = true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    Pump();
  }
  return p.WaitExit(0);
}

bool WaitUntil(const std::function<bool()>& cond, DWORD ms) {
  for (DWORD waited = 0; waited < ms; waited += 50) {
    if (cond()) return true;
    Sleep(50);
  }
  return cond();
}

void CloseAndExpectZero(e2e::Process& p, HWND main) {
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(p.WaitExit(20000), 0);
}

TEST(SingleInstance, ASecondStartEndsWithExitCodeZeroAndShowsNothing) {
  e2e::Process first, second;
  ASSERT_TRUE(first.Start(e2e::ProgramPath()));
  HWND main = e2e::WaitForWindow(first.Id(), kMainFormClassName, "Orvasil", 20000);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(second.Start(e2e::ProgramPath()));
  bool showed = false;
  EXPECT_EQ(WaitPumping(second, 20000, &showed), 0);
  EXPECT_FALSE(showed);
  EXPECT_TRUE(IsWindowVisible(main));
  CloseAndExpectZero(first, main);
}

TEST(SingleInstance, ASecondStartRestoresTheMinimisedFirstInstance) {
  e2e::Process first, second;
  ASSERT_TRUE(first.Start(e2e::ProgramPath()));
  HWND main = e2e::WaitForWindow(first.Id(), kMainFormClassName, "Orvasil", 20000);
  ASSERT_NE(main, nullptr);
  HWND app = AppWindowOf(first.Id());
  ASSERT_NE(app, nullptr);
  char title[64] = {};
  GetWindowTextA(app, title, sizeof title);
  EXPECT_STREQ(title, "Orvasil");

  PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(app) && !IsWindowVisible(main); }, 10000));

  ASSERT_TRUE(second.Start(e2e::ProgramPath()));
  EXPECT_EQ(WaitPumping(second, 20000), 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsIconic(app) && IsWindowVisible(main); }, 10000));
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }, 10000));
  CloseAndExpectZero(first, main);
}

TEST(ApplicationWindow, ActivatingItOrItsRestoreMessageBringsTheMainFormForward) {
  e2e::Process p;
  ASSERT_TRUE(p.Start(e2e::ProgramPath()));
  HWND main = e2e::WaitForWindow(p.Id(), kMainFormClassName, "Orvasil", 20000);
  ASSERT_NE(main, nullptr);
  HWND app = AppWindowOf(p.Id());
  ASSERT_NE(app, nullptr);

  HWND other = CreateWindowExA(0, "STATIC", "elsewhere", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  SetForegroundWindow(other);
  Pump();
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other; }, e2e::kStateWaitMs));
  SetForegroundWindow(app);
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }, 10000));

  PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(app) && !IsWindowVisible(main); }, 10000));
  SendMessageA(app, orv::kRestoreMessage, 0, orv::kRestoreParam);
  EXPECT_TRUE(WaitUntil([&] { return !IsIconic(app) && IsWindowVisible(main); }, 10000));
  DestroyWindow(other);
  CloseAndExpectZero(p, main);
}

// Stand-in windows of other programs, in this process, that record what was sent to them.
struct FakeApp {
  HWND wnd = nullptr;
  std::vector<UINT> messages;
};
std::vector<FakeApp*> gFakes;

LRESULT CALLBACK FakeProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  for (FakeApp* f : gFakes)
    if (f->wnd == w && (msg == WM_SYSCOMMAND || msg == orv::kRestoreMessage)) f->messages.push_back(msg);
  return DefWindowProcA(w, msg, wp, lp);
}

HWND MakeFake(const char* cls, const char* text) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = FakeProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = cls;
  RegisterClassA(&wc);
  HWND w = CreateWindowExA(0, cls, text, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 20, 20, 100, 50, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
  ShowWindow(w, SW_SHOWMINNOACTIVE);
  return w;
}

TEST(SingleInstance, OnlyAnApplicationWindowWithExactlyTheTitleIsTouched) {
  // This process holds the mutex, so the program starts as a second instance.
  orv::TOwnedHandle mutex(CreateMutexA(nullptr, TRUE, "Orvasil"));
  ASSERT_TRUE(mutex);
  FakeApp lower, longer, otherClass, exact;
  gFakes = {&lower, &longer, &otherClass, &exact};
  orv::TScopeGuard forgetFakes([] {
    for (FakeApp* f : gFakes) DestroyWindow(f->wnd);
    gFakes.clear();
  });
  lower.wnd = MakeFake(kApplicationClassName, "orvasil");
  longer.wnd = MakeFake(kApplicationClassName, "Orvasil 2");
  otherClass.wnd = MakeFake("TApplicationX", "Orvasil");
  Pump();

  e2e::Process p;
  ASSERT_TRUE(p.Start(e2e::ProgramPath()));
  EXPECT_EQ(WaitPumping(p, 20000), 0);
  Pump();
  EXPECT_TRUE(lower.messages.empty());
  EXPECT_TRUE(longer.messages.empty());
  EXPECT_TRUE(otherClass.messages.empty());
  EXPECT_TRUE(IsIconic(lower.wnd));
  EXPECT_TRUE(IsIconic(longer.wnd));

  // The same start with a window that matches exactly: that one is restored.
  exact.wnd = MakeFake(kApplicationClassName, "Orvasil");
  Pump();
  e2e::Process again;
  ASSERT_TRUE(again.Start(e2e::ProgramPath()));
  EXPECT_EQ(WaitPumping(again, 20000), 0);
  Pump();
  EXPECT_EQ(exact.messages, (std::vector<UINT>{WM_SYSCOMMAND}));
  EXPECT_TRUE(lower.messages.empty());
}

TEST(SingleInstance, AFailedMutexCreationDoesNotStopTheProgram) {
  // An event of the same name makes creating the mutex fail.
  orv::TOwnedHandle squatter(CreateEventA(nullptr, TRUE, FALSE, "Orvasil"));
  ASSERT_TRUE(squatter);
  e2e::Process first, second;
  ASSERT_TRUE(first.Start(e2e::ProgramPath()));
  HWND main1 = e2e::WaitForWindow(first.Id(), kMainFormClassName, "Orvasil", 20000);
  ASSERT_NE(main1, nullptr);
  ASSERT_TRUE(second.Start(e2e::ProgramPath()));
  HWND main2 = e2e::WaitForWindow(second.Id(), kMainFormClassName, "Orvasil", 20000);
  EXPECT_NE(main2, nullptr) << "without the guard a further start runs as well";
  if (main2) CloseAndExpectZero(second, main2);
  CloseAndExpectZero(first, main1);
}

}  // namespace
