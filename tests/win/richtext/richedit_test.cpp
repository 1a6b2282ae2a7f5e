// The rich-text control on the system's Rich Edit library: loading documents from streams,
// link clicks, the window's settings, and its content across a re-creation.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "base/Streams.h"
#include "gui/Forms.h"
#include "richtext/KLRichEdOLE.h"
#include "units_env.h"

using namespace orv;

namespace {

// The units run once for the whole program.
[[maybe_unused]] auto* const kUnits = testsupport::AddUnitsEnvironment();

const char kWebLink[] = "http://www.tremalon.example/donate.htm";
const char kMailLink[] = "mailto:support@tremalon.example";

// A document as the wizard stores it: RTF in code page 1250 with a web and a mail address.
std::string Document() {
  return std::string(
             "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}}\n"
             "\\f0\\fs20 Vymaz\\'e1n\\'ed karty\\par\n"
             "Donate: ") +
         kWebLink + " today\\par\nWrite to " + kMailLink + "\\par\n}";
}

std::string LongText(int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) text += "Line " + std::to_string(i) + "\r\n";
  return text;
}

void Load(TKLCustomRichEdit& edit, const std::string& bytes) { testsupport::Load(edit.Lines(), bytes); }

std::string SavedText(TKLCustomRichEdit& edit) {
  TMemoryStream out;
  edit.SetStreamFormat(TRichStreamFormat::sfPlainText);
  edit.Lines().SaveToStream(out);
  edit.SetStreamFormat(TRichStreamFormat::sfDefault);
  return out.ToString();
}

// Fails every read, as a damaged or unreadable source does.
class TFailingStream : public TMemoryStream {
public:
  int64_t Read(void*, int64_t) override { throw EReadError(); }
};

// Remembers how much the control asked for on each read.
class TRecordingStream : public TMemoryStream {
public:
  int64_t Read(void* buffer, int64_t count) override {
    Requests.push_back(count);
    return TMemoryStream::Read(buffer, count);
  }
  std::vector<int64_t> Requests;
};

class RichEditTest : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = std::make_unique<TForm>(Application);
    form_->SetClientWidth(420);
    form_->SetClientHeight(300);
    edit_ = new TKLRichEditOLE(form_.get());
    edit_->SetParent(form_.get());
    edit_->SetBounds(0, 0, 420, 300);
    edit_->SetReadOnly(true);
    edit_->SetScrollBars(TScrollStyle::ssVertical);
    edit_->OnURLClick = [this](TObject* sender, const std::string& url, TMouseButton button) {
      EXPECT_EQ(sender, edit_);
      EXPECT_EQ(button, TMouseButton::mbLeft);
      clicks_.push_back(url);
    };
    form_->Show();
    Application->ProcessMessages();
  }
  void TearDown() override { form_.reset(); }

  int32_t PositionOf(const std::string& needle) {
    const int32_t length = static_cast<int32_t>(SendMessageA(edit_->Handle(), WM_GETTEXTLENGTH, 0, 0));
    const size_t at = edit_->TextRange(0, length).find(needle);
    EXPECT_NE(at, std::string::npos) << needle;
    return static_cast<int32_t>(at);
  }
  // A point inside the character at Position, in client coordinates.
  LPARAM PointAt(int32_t position) {
    POINTL p{};
    SendMessageA(edit_->Handle(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), position + 3);
    return MAKELPARAM(p.x + 2, p.y + 4);
  }
  void Post(UINT msg, WPARAM keys, LPARAM where) {
    PostMessageA(edit_->Handle(), msg, keys, where);
    Application->ProcessMessages();
  }
  void ClickAt(LPARAM where) {
    Post(WM_MOUSEMOVE, 0, where);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, where);
    Post(WM_LBUTTONUP, 0, where);
  }

  std::unique_ptr<TForm> form_;
  TKLRichEditOLE* edit_ = nullptr;
  std::vector<std::string> clicks_;
};

TEST(RichEditUnit, LoadsVersionTwoFromTheSystemFolderAndRegistersTheClipboardFormats) {
  EXPECT_GE(RichEditVersion, 2) << "RICHED20.DLL is there under Wine";
  HMODULE module = GetModuleHandleA("RICHED20.DLL");
  ASSERT_NE(module, nullptr);
  char path[MAX_PATH] = {}, dir[MAX_PATH] = {};
  GetModuleFileNameA(module, path, MAX_PATH);
  GetSystemDirectoryA(dir, MAX_PATH);
  EXPECT_EQ(lstrcmpiA((std::string(dir) + "\\riched20.dll").c_str(), path), 0) << path;
  EXPECT_EQ(CFRtf, RegisterClipboardFormatA("Rich Text Format"));
  EXPECT_EQ(CFRtfNoObjs, RegisterClipboardFormatA("Rich Text Format Without Objects"));
  EXPECT_NE(CFEmbeddedObject, 0u);
  EXPECT_NE(CFLinkSource, 0u);
}

TEST_F(RichEditTest, TheWindowIsTheAnsiRichEditClassWithTheLinkEventsAndTheChosenStyles) {
  HWND wnd = edit_->Handle();
  char name[64] = {};
  GetClassNameA(wnd, name, sizeof name);
  EXPECT_STREQ(name, "RichEdit20A");
  EXPECT_EQ(SendMessageA(wnd, EM_GETEVENTMASK, 0, 0), 0x042C0001);
  const LONG style = GetWindowLongA(wnd, GWL_STYLE);
  EXPECT_TRUE(style & ES_SAVESEL);
  EXPECT_TRUE(style & WS_CLIPCHILDREN);
  EXPECT_FALSE(style & WS_HSCROLL) << "ssVertical and word wrap";
  EXPECT_TRUE(SendMessageA(wnd, EM_GETOPTIONS, 0, 0) & ECO_AUTOWORDSELECTION);
  EXPECT_TRUE(SendMessageA(wnd, EM_GETOPTIONS, 0, 0) & ECO_READONLY) << "word selection keeps read-only";
  EXPECT_EQ(edit_->UndoLimit(), 100);
  IRichEditOle* ole = nullptr;
  EXPECT_TRUE(SendMessageA(wnd, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole)));
  ASSERT_NE(ole, nullptr);
  EXPECT_EQ(ole->GetObjectCount(), 0);
  ole->Release();
}

TEST_F(RichEditTest, ADocumentLoadsFromItsStreamWithItsLinksAndShowsFromTheTop) {
  Load(*edit_, LongText(60));
  SendMessageA(edit_->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
  edit_->SetSelStart(200);
  Load(*edit_, Document());
  EXPECT_EQ(edit_->Lines().Count(), 3);
  EXPECT_EQ(edit_->Lines().Get(0), "Vymaz\xe1n\xed karty");
  EXPECT_EQ(edit_->Lines().Get(1), std::string("Donate: ") + kWebLink + " today");
  EXPECT_EQ(edit_->SelStart(), 0);
  EXPECT_EQ(edit_->SelLength(), 0);
  EXPECT_EQ(SendMessageA(edit_->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST_F(RichEditTest, ALeftClickOnALinkRaisesOnURLClickOnceWithExactlyTheLinkText) {
  Load(*edit_, Document());
  ClickAt(PointAt(PositionOf(kWebLink)));
  ASSERT_EQ(clicks_.size(), 1u);
  EXPECT_EQ(clicks_[0], kWebLink);
  ClickAt(PointAt(PositionOf(kMailLink)));
  ASSERT_EQ(clicks_.size(), 2u);
  EXPECT_EQ(clicks_[1], kMailLink);
  EXPECT_EQ(edit_->LinkRange().cpMin, -1);
  EXPECT_EQ(edit_->LinkRange().cpMax, -1);
}

TEST_F(RichEditTest, APressOnOneLinkAndAReleaseOnTheOtherRaiseNothingAndClearTheLinkRange) {
  Load(*edit_, Document());
  const int32_t web = PositionOf(kWebLink);
  Post(WM_LBUTTONDOWN, MK_LBUTTON, PointAt(web));
  EXPECT_EQ(edit_->LinkRange().cpMin, web);
  EXPECT_EQ(edit_->LinkRange().cpMax, web + static_cast<int32_t>(strlen(kWebLink)));
  Post(WM_MOUSEMOVE, MK_LBUTTON, PointAt(PositionOf(kMailLink)));
  Post(WM_LBUTTONUP, 0, PointAt(PositionOf(kMailLink)));
  EXPECT_TRUE(clicks_.empty());
  EXPECT_EQ(edit_->LinkRange().cpMin, -1);
  EXPECT_EQ(edit_->LinkRange().cpMax, -1);
}

TEST_F(RichEditTest, ARightClickOnALinkRaisesNothing) {
  Load(*edit_, Document());
  const LPARAM where = PointAt(PositionOf(kWebLink));
  Post(WM_RBUTTONDOWN, MK_RBUTTON, where);
  Post(WM_RBUTTONUP, 0, where);
  EXPECT_TRUE(clicks_.empty());
  EXPECT_EQ(edit_->LinkRange().cpMin, -1);
}

TEST_F(RichEditTest, PlainTextLoadsThroughTheFallBackAndLineFeedsArriveAsCrLf) {
  ASSERT_FALSE(edit_->PlainText());
  Load(*edit_, "first\nsecond\n\nfourth\rfifth\r\nsixth");
  ASSERT_EQ(edit_->Lines().Count(), 6);
  EXPECT_EQ(edit_->Lines().Get(0), "first");
  EXPECT_EQ(edit_->Lines().Get(2), "");
  EXPECT_EQ(edit_->Lines().Get(4), "fifth");
  EXPECT_EQ(SavedText(*edit_), "first\r\nsecond\r\n\r\nfourth\r\nfifth\r\nsixth");
}

// A line break split between two reads of the control stays one line break, and a lone CR
// at the end of a read is not lost.
TEST_F(RichEditTest, LineBreaksAtTheEndOfAReadAreNeitherDoubledNorLost) {
  edit_->SetStreamFormat(TRichStreamFormat::sfPlainText);
  TRecordingStream probe;
  probe.WriteBuffer("x", 1);
  probe.SetPosition(0);
  edit_->Lines().LoadFromStream(probe);
  ASSERT_FALSE(probe.Requests.empty());
  const size_t piece = static_cast<size_t>(probe.Requests[0]);
  ASSERT_GT(piece, 10u);

  const std::string head(piece - 1, 'a');
  Load(*edit_, head + "\r\nsecond\rthird\nfourth");
  EXPECT_EQ(SavedText(*edit_), head + "\r\nsecond\r\nthird\r\nfourth");
  Load(*edit_, head + "\rsecond");
  EXPECT_EQ(SavedText(*edit_), head + "\r\nsecond");
}

TEST_F(RichEditTest, AStreamThatFailsBothFormatsRaisesAndLeavesTheControlUsable) {
  TFailingStream broken;
  try {
    edit_->Lines().LoadFromStream(broken);
    FAIL() << "nothing raised";
  } catch (const EOutOfResources& e) {
    EXPECT_STREQ(e.what(), "Failed to Load Stream");
  }
  Load(*edit_, Document());
  EXPECT_EQ(edit_->Lines().Count(), 3);
  ClickAt(PointAt(PositionOf(kWebLink)));
  EXPECT_EQ(clicks_.size(), 1u);
}

TEST_F(RichEditTest, TheVerticalScrollBarShowsOnlyForALongText) {
  edit_->SetHeight(120);
  Load(*edit_, "A short text.");
  Application->ProcessMessages();
  EXPECT_FALSE(GetWindowLongA(edit_->Handle(), GWL_STYLE) & WS_VSCROLL);
  Load(*edit_, LongText(80));
  Application->ProcessMessages();
  EXPECT_TRUE(GetWindowLongA(edit_->Handle(), GWL_STYLE) & WS_VSCROLL);
  EXPECT_FALSE(GetWindowLongA(edit_->Handle(), GWL_STYLE) & WS_HSCROLL);
}

TEST_F(RichEditTest, TheContentAndTheModifiedFlagSurviveARecreationOfTheWindow) {
  Load(*edit_, Document());
  edit_->SetModified(true);
  HWND before = edit_->Handle();
  edit_->RecreateWnd();
  ASSERT_TRUE(edit_->HandleAllocated());
  EXPECT_NE(edit_->Handle(), before);
  EXPECT_FALSE(IsWindow(before));
  EXPECT_EQ(edit_->Lines().Get(1), std::string("Donate: ") + kWebLink + " today");
  EXPECT_TRUE(edit_->Modified());
  EXPECT_EQ(SendMessageA(edit_->Handle(), EM_GETEVENTMASK, 0, 0), 0x042C0001);

  edit_->SetModified(false);
  edit_->SetScrollBars(TScrollStyle::ssBoth);
  EXPECT_FALSE(edit_->Modified());
  EXPECT_EQ(edit_->Lines().Count(), 3);
  ClickAt(PointAt(PositionOf(kMailLink)));
  ASSERT_EQ(clicks_.size(), 1u) << "links are detected in the new window too";
  EXPECT_EQ(clicks_[0], kMailLink);
}

void SetClipboardText(const std::string& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
  GlobalUnlock(memory);
  SetClipboardData(CF_TEXT, memory);
  CloseClipboard();
}

std::string ClipboardText() {
  if (!OpenClipboard(nullptr)) return "(no clipboard)";
  std::string text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    text = static_cast<const char*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

// Keys as a user presses them, with Modifier held (0 for none).
void PressKeys(BYTE modifier, BYTE key) {
  if (modifier) keybd_event(modifier, 0, 0, 0);
  keybd_event(key, 0, 0, 0);
  keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
  if (modifier) keybd_event(modifier, 0, KEYEVENTF_KEYUP, 0);
  Application->ProcessMessages();
}

// The wizard's documents: nothing that reaches the viewer, typed or sent by any window or
// program, changes the text; copying still works, and the program's own calls still change it.
TEST_F(RichEditTest, AReadOnlyDocumentTakesNoChangeFromKeysOrMessagesButCopies) {
  Load(*edit_, Document());
  HWND wnd = edit_->Handle();
  const auto text = [&] {
    return edit_->TextRange(0, static_cast<int32_t>(SendMessageA(wnd, WM_GETTEXTLENGTH, 0, 0)));
  };
  const std::string before = text();
  const auto selectFirstWord = [&] { SendMessageA(wnd, EM_SETSEL, 0, 5); };
  SetClipboardText("pasted");

  for (UINT msg : {WM_PASTE, WM_CUT, WM_CLEAR, WM_UNDO, EM_UNDO, EM_REDO}) {
    selectFirstWord();
    SendMessageA(wnd, msg, 0, 0);
    EXPECT_EQ(text(), before) << "message " << std::hex << msg;
  }
  selectFirstWord();
  SendMessageA(wnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("replaced"));
  EXPECT_EQ(text(), before) << "EM_REPLACESEL";

  SetForegroundWindow(form_->Handle());
  SetFocus(wnd);
  const std::pair<BYTE, BYTE> keys[] = {{VK_CONTROL, 'V'}, {VK_CONTROL, 'X'}, {VK_SHIFT, VK_DELETE},
                                        {0, VK_DELETE},    {0, VK_BACK},      {0, 'A'}};
  for (const auto& [modifier, key] : keys) {
    selectFirstWord();
    PressKeys(modifier, key);
    EXPECT_EQ(text(), before) << "key " << int(key) << " with " << int(modifier);
  }

  selectFirstWord();
  SendMessageA(wnd, WM_COPY, 0, 0);
  EXPECT_EQ(ClipboardText(), before.substr(0, 5));
  selectFirstWord();
  PressKeys(VK_CONTROL, 'C');
  EXPECT_EQ(ClipboardText(), before.substr(0, 5));

  const int lines = edit_->Lines().Count();
  edit_->Lines().Add("added by the program");
  EXPECT_EQ(edit_->Lines().Count(), lines + 1);
}

TEST_F(RichEditTest, TheLinesListReadsInsertsReplacesAndDeletesLines) {
  edit_->SetReadOnly(false);
  TStrings& lines = edit_->Lines();
  lines.Clear();
  EXPECT_EQ(lines.Count(), 0);
  lines.Add("one");
  lines.Add("three");
  lines.Insert(1, "two");
  ASSERT_EQ(lines.Count(), 3);
  EXPECT_EQ(lines.Get(0), "one");
  EXPECT_EQ(lines.Get(1), "two");
  EXPECT_EQ(lines.Get(2), "three");
  lines.Put(0, "ONE");
  lines.Delete(1);
  ASSERT_EQ(lines.Count(), 2);
  EXPECT_EQ(lines.Get(0), "ONE");
  EXPECT_EQ(lines.Get(1), "three");
  TMemoryStream rtf;
  lines.SaveToStream(rtf);
  EXPECT_EQ(rtf.ToString().rfind("{\\rtf", 0), 0u) << "saved in the chosen format";
}

// Wine's library sends no EN_PROTECTED, so the notification comes as the parent would get it.
TEST_F(RichEditTest, ChangesToProtectedTextAreRefusedUnlessAHandlerAllowsThem) {
  ENPROTECTED notice{};
  notice.nmhdr.hwndFrom = edit_->Handle();
  notice.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(edit_->Handle()));
  notice.nmhdr.code = EN_PROTECTED;
  notice.msg = WM_CHAR;
  notice.chrg = CHARRANGE{2, 4};
  auto send = [&] {
    return SendMessageA(form_->Handle(), WM_NOTIFY, notice.nmhdr.idFrom, reinterpret_cast<LPARAM>(&notice));
  };
  EXPECT_EQ(send(), 1) << "no handler: refused";

  int calls = 0;
  edit_->OnProtectChange = [&](TObject*, UINT message, int32_t startPos, int32_t endPos, bool& allow) {
    ++calls;
    EXPECT_EQ(message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(startPos, 2);
    EXPECT_EQ(endPos, 4);
    EXPECT_FALSE(allow) << "starts refused";
  };
  EXPECT_EQ(send(), 1) << "the handler left it refused";
  edit_->OnProtectChangeEx = [&](TObject*, UINT, int32_t, int32_t, bool& allow) { allow = true; };
  EXPECT_EQ(send(), 0) << "OnProtectChangeEx comes first and allows";
  EXPECT_EQ(calls, 1);
}

TEST_F(RichEditTest, TextAttributesTakeAndGiveAFont) {
  edit_->SetReadOnly(false);
  Load(*edit_, Document());
  edit_->SelectAll();
  TFont font;
  font.SetName("Courier New");
  font.SetSize(14);
  font.SetStyle(fsBold | fsItalic);
  font.SetColor(RGB(200, 0, 0));
  edit_->SelAttributes().Assign(&font);
  edit_->SetSelStart(3);
  TFont back;
  edit_->WordAttributes().AssignTo(&back);
  EXPECT_EQ(back.Name(), "Courier New");
  EXPECT_EQ(back.Size(), 14);
  EXPECT_EQ(back.Style(), fsBold | fsItalic);
  EXPECT_EQ(back.Color(), RGB(200, 0, 0));
  EXPECT_EQ(edit_->SelAttributes().Read().cbSize, sizeof(CHARFORMAT2A));
}

// Wine's printing goes through CUPS; a prefix without a printer has no [windows] device.
TEST_F(RichEditTest, PrintingWithoutADefaultPrinterRaisesAClearError) {
  char device[256] = {};
  GetProfileStringA("windows", "device", "", device, sizeof device);
  if (device[0]) GTEST_SKIP() << "a default printer exists here: " << device;
  Load(*edit_, Document());
  try {
    edit_->Print("Orvasil");
    FAIL() << "nothing raised";
  } catch (const EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), "There is no default printer currently selected");
  }
}

}  // namespace
