// Shows a document of the program in the rich-text control for a look at it (screenshots);
// not a test. Argument: the document's file name in resources/docs; ends after 20 seconds.
#include <windows.h>

#include <fstream>
#include <sstream>

#include "app/Units.h"
#include "base/Streams.h"
#include "gui/Forms.h"
#include "richtext/KLRichEdOLE.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmdLine, int) {
  using namespace orv;
  InitializeUnits();
  Application->Initialize();
  Application->SetTitle("Orvasil");
  std::string path = "Z:" ORVASIL_DOCS_UNIX "/" + std::string(*cmdLine ? cmdLine : "about.rtf");
  for (char& c : path)
    if (c == '/') c = '\\';
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  const std::string s = bytes.str();
  {
    TForm form(Application);
    form.SetCaption("Rich text");
    form.SetClientWidth(460);
    form.SetClientHeight(320);
    auto* edit = new TKLRichEditOLE(&form);
    edit->SetParent(&form);
    edit->SetBounds(8, 8, 444, 304);
    edit->SetReadOnly(true);
    edit->SetScrollBars(TScrollStyle::ssVertical);
    TMemoryStream stream;
    stream.WriteBuffer(s.data(), static_cast<int64_t>(s.size()));
    stream.SetPosition(0);
    edit->Lines().LoadFromStream(stream);
    form.Show();
    const DWORD end = GetTickCount() + 20000;
    while (GetTickCount() < end) {
      Application->ProcessMessages();
      Sleep(50);
    }
  }
  FinalizeUnits();
  return 0;
}
