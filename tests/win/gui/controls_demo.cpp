// Shows the form that holds every control, for looking at it (screenshots); not a test.
// Ends when the form closes, or after the milliseconds given as its argument.
#include <windows.h>

#include <cstdlib>

#include "all_controls_form.h"
#include "app/Units.h"

namespace {
void CALLBACK EndDemo(HWND, UINT, UINT_PTR, DWORD) { orv::Application->Terminate(); }
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmdLine, int) {
  using namespace orv;
  InitializeUnits();
  Application->Initialize();
  Application->SetTitle("Orvasil");
  guitest::TAllControlsForm* form = nullptr;
  Application->CreateForm(form);
  form->Find<TImage>("InfoImage")->SetIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(32516)));
  if (const int ms = std::atoi(cmdLine); ms > 0) SetTimer(nullptr, 0, ms, EndDemo);
  Application->Run();
  FinalizeUnits();
  return 0;
}
