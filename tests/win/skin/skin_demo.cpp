// Not a test: the test form's map for a look at it. "skin_demo" shows it Off; "skin_demo over"
// with the pointer over the area "second" and the area "programs" switched on. It closes
// itself after a while.
#include <windows.h>

#include <cstring>

#include "skin_env.h"
#include "win_env.h"

using namespace orv;
using namespace skintest;

namespace {
void CALLBACK EndDemo(HWND, UINT, UINT_PTR, DWORD) { Application->Terminate(); }
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmdLine, int) {
  testsupport::StartUnits();
  {
    TMapForm f = MakeMapForm(AddStripList(), 40, 40);
    f.Map->Areas().Items(1)->SetCursor(2);
    if (std::strstr(cmdLine, "over")) {
      SendMessageA(f.Form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 50));
      SendMessageA(f.Form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(150, 50));
      SendMessageA(f.Form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(80, 40));
    }
    SetTimer(nullptr, 0, 20000, EndDemo);
    while (!Application->Terminated()) Application->HandleMessage();
    delete f.Form;
  }
  testsupport::EndUnits();
  return 0;
}
