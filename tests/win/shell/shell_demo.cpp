// Shows an opened drive picker ("picker") or the web link's error box ("error") for looking
// at them (screenshots); not a test. The error box needs a prefix whose "http" command names
// a program that does not exist; this program registers one for as long as the box is shown.
#include <windows.h>

#include <cstring>

#include "gui/Forms.h"
#include "shell/KLShellCtrls.h"
#include "sys/KLSysUtils.h"
#include "win_env.h"

using namespace orv;

namespace {
void ShowPicker() {
  auto* form = new TForm(Application);
  form->SetCaption("Drive picker");
  form->SetBounds(80, 60, 260, 220);
  auto* picker = new TKLDriveComboBox(form);
  picker->SetState(csLoading);
  picker->SetBounds(16, 16, 160, 22);
  picker->SetDriveTypes(DriveTypeSet({dtUnknown, dtNoRoot, dtRemovable, dtCDROM, dtRAMDISK}));
  picker->SetParent(form);
  picker->Loaded();
  form->Show();
  Application->ProcessMessages();
  picker->SetFocus();
  picker->SetDroppedDown(true);
  while (IsWindowVisible(form->Handle())) Application->HandleMessage();
}

void ShowLinkError() {
  const char* key = "http\\shell\\open\\command";
  char old[1024] = {};
  LONG size = sizeof(old);
  const bool had = RegQueryValueA(HKEY_CLASSES_ROOT, key, old, &size) == ERROR_SUCCESS;
  const char* missing = "\"C:\\nowhere\\missing-browser.exe\" \"%1\"";
  RegSetValueA(HKEY_CLASSES_ROOT, key, REG_SZ, missing, static_cast<DWORD>(std::strlen(missing)));
  OpenWebLink("http://www.example.com/");
  if (had)
    RegSetValueA(HKEY_CLASSES_ROOT, key, REG_SZ, old, static_cast<DWORD>(std::strlen(old)));
  else
    RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmdLine, int) {
  testsupport::StartUnits({.Application = true, .Title = "Orvasil", .English = true});
  if (std::strstr(cmdLine, "error"))
    ShowLinkError();
  else
    ShowPicker();
  testsupport::EndUnits();
  return 0;
}
