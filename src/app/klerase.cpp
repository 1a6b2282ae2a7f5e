// Program entry: one instance at a time; a second start brings the first one forward.
#include <windows.h>

#include "app/MainF.h"
#include "app/Units.h"
#include "gui/Forms.h"
#include "sys/KLSysUtils.h"

namespace {
const char kProductTitle[] = "Orvasil";
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace orv;
  try {
    InitializeUnits();
    Application->Initialize();
    Application->SetTitle(kProductTitle);
    // Held for the life of the process; the system releases it at exit. A failed creation
    // leaves this instance without the guard, but running.
    HANDLE mutex = CreateMutexA(nullptr, TRUE, kProductTitle);
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
      CloseHandle(mutex);
      ActivatePreviousInstance(kProductTitle);
    } else {
      TMainForm* mainForm = nullptr;
      Application->CreateForm(mainForm);
      Application->Run();
    }
    FinalizeUnits();
  } catch (...) {
  }
  return 0;
}
