// Started from a folder that holds planted DLLs:
//   dll_probe bare     loads RICHED20.DLL by its bare name, as a program that trusts the search
//                      order would; exit 0 when something loaded
//   dll_probe viewer   starts the units as the program does and shows a document in the
//                      rich-text viewer; exit 0 when it shows the text and the Rich Edit
//                      library in use is the system's, else a code naming what was wrong
#include <windows.h>
#include <richedit.h>

#include <cstring>
#include <string>

#include "app/Units.h"
#include "base/Streams.h"
#include "gui/Forms.h"
#include "win/WinCompat.h"
#include "richtext/KLRichEdOLE.h"

namespace {

constexpr char kDocument[] = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Read me: www.example.com\\par}";

bool FromSystemDirectory(HMODULE module) {
  char dir[MAX_PATH] = {}, path[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(dir, MAX_PATH);
  if (!module || !GetModuleFileNameA(module, path, MAX_PATH)) return false;
  return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, path, static_cast<int>(length), dir,
                        static_cast<int>(length)) == CSTR_EQUAL &&
         path[length] == '\\';
}

int Viewer() {
  using namespace orv;
  wincompat::RestrictDllSearchToSystem();
  InitializeUnits();
  Application->Initialize();
  int code = 0;
  {
    TForm form(Application);
    auto* edit = new TKLRichEditOLE(&form);
    edit->SetParent(&form);
    edit->SetBounds(8, 8, 300, 100);
    edit->SetReadOnly(true);
    TMemoryStream stream;
    stream.WriteBuffer(kDocument, static_cast<int64_t>(std::strlen(kDocument)));
    stream.SetPosition(0);
    edit->Lines().LoadFromStream(stream);
    form.Show();
    Application->ProcessMessages();
    char text[64] = {};
    GetWindowTextA(edit->Handle(), text, sizeof text);
    if (std::strncmp(text, "Read me: www.example.com", 24) != 0) code = 2;
    if (RichEditVersion < 2) code = 3;
    if (!FromSystemDirectory(GetModuleHandleA("RICHED20.DLL"))) code = 4;
  }
  FinalizeUnits();
  return code;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmdLine, int) {
  const std::string mode = cmdLine ? cmdLine : "";
  if (mode == "bare") return LoadLibraryA("RICHED20.DLL") ? 0 : 1;
  if (mode == "viewer") return Viewer();
  return 9;
}
