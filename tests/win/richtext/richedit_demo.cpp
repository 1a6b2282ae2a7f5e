// Shows a document of the program in the rich-text control for a look at it (screenshots);
// not a test. Argument: the document's file name in resources/docs; ends after 20 seconds.
#include <windows.h>

#include "gui/Forms.h"
#include "richtext/KLRichEdOLE.h"
#include "win_env.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmdLine, int) {
  using namespace orv;
  testsupport::StartUnits({.Application = true, .Title = "Orvasil"});
  const std::string document =
      testsupport::ReadFile(ORVASIL_DOCS_UNIX "/" + std::string(*cmdLine ? cmdLine : "about.rtf"));
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
    testsupport::Load(edit->Lines(), document);
    form.Show();
    const DWORD end = GetTickCount() + 20000;
    while (GetTickCount() < end) {
      Application->ProcessMessages();
      Sleep(50);
    }
  }
  testsupport::EndUnits();
  return 0;
}
