// Shows the erase question as the program does, for looking at it (screenshots); not a test.
#include <windows.h>

#include <fstream>
#include <sstream>

#include "app/Units.h"
#include "base/Streams.h"
#include "gui/Forms.h"
#include "lang/KLXLang.h"
#include "sys/KLSysUtils.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace orv;
  InitializeUnits();
  Application->Initialize();
  Application->SetTitle("Orvasil");
  std::string path = "Z:" ORVASIL_ENGLISH_UNIX;
  for (char& c : path)
    if (c == '/') c = '\\';
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const std::string s = text.str();
  TMemoryStream stream;
  stream.WriteBuffer(s.data(), static_cast<int64_t>(s.size()));
  stream.SetPosition(0);
  GlobalLanguage->LoadText(stream);
  int32_t r = MessageBoxProc(GlobalLanguage->GetWord("MsgConfirmEraseCard"), "", 32515, 1, YesNoButtons);
  FinalizeUnits();
  return r;
}
