// Shows the erase question as the program does, for looking at it (screenshots); not a test.
#include <windows.h>

#include "lang/KLXLang.h"
#include "sys/KLSysUtils.h"
#include "win_env.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace orv;
  testsupport::StartUnits({.Application = true, .Title = "Orvasil", .English = true});
  int32_t r = MessageBoxProc(GlobalLanguage->GetWord("MsgConfirmEraseCard"), "", 32515, 1, YesNoButtons);
  testsupport::EndUnits();
  return r;
}
