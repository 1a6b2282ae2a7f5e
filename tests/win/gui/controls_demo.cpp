// Shows the form that holds every control, for looking at it (screenshots); not a test.
// Ends when the form closes, or after the milliseconds given as its argument; then it also
// puts the pointer on the title, so that the screenshot shows its hint.
#include <windows.h>

#include <cstdlib>

#include "all_controls_form.h"
#include "win_env.h"

namespace {
guitest::TAllControlsForm* gForm = nullptr;

void CALLBACK EndDemo(HWND, UINT, UINT_PTR, DWORD) { orv::Application->Terminate(); }

void CALLBACK PointAtTitle(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  const POINT p = gForm->Find<orv::TLabel>("TitleLabel")->ClientToScreen(POINT{40, 12});
  SetCursorPos(p.x, p.y);
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmdLine, int) {
  using namespace orv;
  testsupport::StartUnits({.Application = true, .Title = "Orvasil"});
  guitest::TAllControlsForm* form = nullptr;
  Application->CreateForm(form);
  form->Find<TImage>("InfoImage")->SetIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(32516)));
  // A banner of colour bands under the transparent title labels.
  TBitmap& banner = form->Find<TImage>("TopImage")->Picture().Bitmap();
  banner.SetSize(8, 1);
  const TColor bands[] = {0xF0E0D0, 0xE8D4C0, 0xE0C8B0, 0xD8BCA0, 0xD0B090, 0xC8A480, 0xC09870, 0xB88C60};
  for (int i = 0; i < 8; ++i) {
    banner.Canvas().Brush().SetColor(bands[i]);
    banner.Canvas().FillRect(TRect{i, 0, i + 1, 1});
  }
  gForm = form;
  if (const int ms = std::atoi(cmdLine); ms > 0) {
    SetTimer(nullptr, 0, ms, EndDemo);
    SetTimer(nullptr, 0, 300, PointAtTitle);
  }
  Application->Run();
  testsupport::EndUnits();
  return 0;
}
