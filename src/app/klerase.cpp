// Program entry: one instance at a time; a second start brings the first one forward.
#include <windows.h>

#include <exception>
#include <string>

#include "app/MainF.h"
#include "app/Units.h"
#include "gui/Forms.h"
#include "win/Handles.h"
#include "win/WinCompat.h"
#include "sys/KLSysUtils.h"

namespace {

const char kProductTitle[] = "Orvasil";

void RunProgram() {
  using namespace orv;
  Application->Initialize();
  Application->SetTitle(kProductTitle);
  // A failed creation leaves this instance without the guard, but running.
  HANDLE mutex = CreateMutexA(nullptr, TRUE, kProductTitle);
  const bool otherInstance = mutex && GetLastError() == ERROR_ALREADY_EXISTS;
  TOwnedHandle instance(mutex);
  if (otherInstance) {
    instance.Reset();
    ActivatePreviousInstance(kProductTitle);
    return;
  }
  TMainForm* mainForm = nullptr;
  Application->CreateForm(mainForm);
  Application->Run();
  // Held on purpose until the process ends: a start during the shutdown must still find
  // the guard. The system closes the handle at exit.
  instance.Release();
}

// No window of ours may be left to show it, so the box stands alone.
void ReportFatal(const std::string& text) { MessageBoxA(nullptr, text.c_str(), kProductTitle, MB_OK | MB_ICONERROR); }

std::string CurrentErrorText() {
  try {
    throw;
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "An unknown error occurred.";
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The program runs with administrator rights, often from a downloads folder: a DLL planted
  // there under a system DLL's name must never be loaded. Before anything loads one.
  orv::wincompat::RestrictDllSearchToSystem();
  int exitCode = 0;
  try {
    orv::InitializeUnits();
    RunProgram();
  } catch (...) {
    ReportFatal(CurrentErrorText());
    exitCode = 1;
  }
  try {
    orv::FinalizeUnits();
  } catch (...) {
    ReportFatal(CurrentErrorText());
    exitCode = 1;
  }
  return exitCode;
}
