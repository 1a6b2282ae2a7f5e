#include <gtest/gtest.h>

#include "gui/Forms.h"
#include "win/Handles.h"
#include "gui/StdCtrls.h"
#include "gui_env.h"
#include "lang/KLXLang.h"
#include "sys/KLSysUtils.h"

using namespace orv;

namespace {

TEST(WindowNames, AreReadWithAtMost255Characters) {
  const std::string longTitle(300, 'x');
  TForm form(Application);
  form.SetCaption(longTitle);
  EXPECT_EQ(GetWindowCaption(form.Handle()), std::string(255, 'x'));
  EXPECT_EQ(GetWindowClassName(form.Handle()), "TForm");
  EXPECT_EQ(GetWindowCaption(nullptr), "");
  EXPECT_EQ(GetWindowClassName(nullptr), "");
}

TEST(ActivatePreviousInstance, NeverChoosesThisProcesssOwnApplicationWindow) {
  Application->SetTitle("Orvasil Self Test");
  EXPECT_FALSE(ActivatePreviousInstance("Orvasil Self Test"));
  Application->SetTitle("Orvasil");
}

// This process plays the running instance: it holds the mutex, has the application window
// titled "Orvasil" and shows a modal message box; a real orvasil.exe is the second start.
TEST(ActivatePreviousInstance, ASecondStartBringsTheRunningInstancesMessageBoxToTheFront) {
  ASSERT_TRUE(testsupport::LoadEnglish()) << "english.lng not found";
  Application->SetTitle("Orvasil");
  TOwnedHandle mutex(CreateMutexA(nullptr, TRUE, "Orvasil"));
  ASSERT_TRUE(mutex);
  ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "another instance is running";

  HWND box = nullptr, before = nullptr, after = nullptr;
  long exitCode = -1;
  guitest::RunFromMessageLoop([&] {
    for (int i = 0; i < Screen->FormCount(); ++i)
      if (Screen->Forms(i)->Modal()) box = Screen->Forms(i)->Handle();
    HWND other = CreateWindowExA(0, "STATIC", "elsewhere", WS_POPUP | WS_VISIBLE, 10, 10, 120, 60, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(other);
    Application->ProcessMessages();
    before = GetForegroundWindow();

    std::string exe = testsupport::WinPath(ORVASIL_EXE_UNIX);
    std::string cmd = "\"" + exe + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
      TOwnedHandle process(pi.hProcess), thread(pi.hThread);
      // The second instance talks to our windows: keep handling messages while it runs.
      for (int waited = 0; waited < 30000; waited += 20) {
        if (MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 20, QS_ALLINPUT) == WAIT_OBJECT_0) break;
        Application->ProcessMessages();
      }
      DWORD code = 0;
      if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0 && GetExitCodeProcess(pi.hProcess, &code))
        exitCode = static_cast<long>(code);
      else
        TerminateProcess(pi.hProcess, 99);
    }
    Application->ProcessMessages();
    after = GetForegroundWindow();
    DestroyWindow(other);
    if (box) PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
  });
  ShowMessageBox(GlobalLanguage->GetWord("MsgConfirmEraseCard"), "", 32515, 1, YesNoButtons);
  mutex.Reset();

  ASSERT_NE(box, nullptr);
  EXPECT_NE(before, box) << "another window had the foreground before the second start";
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(after, box);
}

}  // namespace
