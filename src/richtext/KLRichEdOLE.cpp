#include <windows.h>
#include <ole2.h>
#include <richedit.h>
#include <richole.h>
#include <windowsx.h>

#include "richtext/KLRichEdOLE.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "base/Exceptions.h"
#include "base/ScopeGuard.h"
#include "gui/Forms.h"
#include "sys/KLString.h"
#include "win/WinCompat.h"
#include "win/WinText.h"

namespace orv {

static_assert(sizeof(CHARFORMATA) == 60, "the library's short character format");
static_assert(sizeof(CHARFORMAT2A) == 84, "the library's extended character format");

int32_t RichEditVersion = 1;
UINT CFEmbeddedObject = 0;
UINT CFLinkSource = 0;
UINT CFRtf = 0;
UINT CFRtfNoObjs = 0;

namespace {
TOwnedModule gLibrary;
bool gOleInitialized = false;
// Shared by every control of the unit: a paint that arrives while another one runs (an
// embedded object drawing itself) only invalidates.
bool gPainting = false;

const std::vector<std::string> kStreamFormatNames = {"sfDefault", "sfRichText", "sfPlainText"};
const std::vector<std::string> kStreamModeNames = {"smSelection", "smPlainRtf", "smNoObjects", "smUnicode"};
const std::vector<std::string> kLangOptionNames = {"rlAutoKeyboard", "rlAutoFont", "rlImeCancelComplete",
                                                   "rlImeAlwaysSendNotify"};

constexpr DWORD kEventMask = ENM_CHANGE | ENM_SELCHANGE | ENM_REQUESTRESIZE | ENM_PROTECTED;
constexpr int kLineBufferSize = 4096;
// OLEIVERB_PROPERTIES, which only the OLE dialog header names.
constexpr LONG kVerbProperties = -7;

bool IsNTAboveVersion4() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion > 4;
}

DWORD SystemMajorVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  return GetVersionExA(&info) ? info.dwMajorVersion : 0;
}

struct TStreamCookie {
  TStream* Stream;
};

// The control asks for at most Count bytes. Half of them are read, so that every line break
// can grow to CR LF; a CR at the end of a piece is held back for the next one, where the LF
// that may follow it is seen.
DWORD CALLBACK ReadCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
  *done = 0;
  try {
    TStream& stream = *reinterpret_cast<TStreamCookie*>(cookie)->Stream;
    std::string piece(static_cast<size_t>(count / 2), '\0');
    piece.resize(static_cast<size_t>(stream.Read(piece.data(), static_cast<int64_t>(piece.size()))));
    if (piece.size() > 1 && piece.back() == '\r') {
      piece.pop_back();
      stream.Seek(-1, SeekOrigin::Current);
    }
    LONG out = 0;
    for (size_t i = 0; i < piece.size(); ++i) {
      const char c = piece[i];
      if (c == '\r' || c == '\n') {
        buffer[out++] = '\r';
        buffer[out++] = '\n';
        if (c == '\r' && i + 1 < piece.size() && piece[i + 1] == '\n') ++i;
      } else {
        buffer[out++] = static_cast<BYTE>(c);
      }
    }
    *done = out;
    return 0;
  } catch (...) {
    return 1;
  }
}

DWORD CALLBACK WriteCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
  try {
    *done = static_cast<LONG>(reinterpret_cast<TStreamCookie*>(cookie)->Stream->Write(buffer, count));
    return *done == count ? 0 : 1;
  } catch (...) {
    *done = 0;
    return 1;
  }
}

std::string TrimmedOr(const std::string& value, const std::string& fallback) {
  const std::string trimmed = Trim(value);
  return trimmed.empty() ? fallback : trimmed;
}

std::string ExeFileName() {
  const std::string full = ProgramFileName();
  return full.substr(full.find_last_of("\\/") + 1);
}
}  // namespace

void InitializeKLRichEdOLE() {
  RichEditVersion = 1;
  const UINT oldMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
  gLibrary.Reset(wincompat::LoadSystemLibrary("RICHED20.DLL"));
  if (gLibrary) {
    RichEditVersion = IsNTAboveVersion4() ? 3 : 2;
  } else {
    gLibrary.Reset(wincompat::LoadSystemLibrary("RICHED32.DLL"));
  }
  SetErrorMode(oldMode);
  CFEmbeddedObject = RegisterClipboardFormatA("Embedded Object");
  CFLinkSource = RegisterClipboardFormatA("Link Source");
  CFRtf = RegisterClipboardFormatA("Rich Text Format");
  CFRtfNoObjs = RegisterClipboardFormatA("Rich Text Format Without Objects");
  // Embedded objects, their clipboard and drag and drop need OLE, not only COM.
  gOleInitialized = SUCCEEDED(OleInitialize(nullptr));
  RegisterClass(TKLRichEditOLE::StaticClassInfo());
}

void FinalizeKLRichEdOLE() {
  UnRegisterClass(TKLRichEditOLE::StaticClassInfo());
  if (gOleInitialized) OleUninitialize();
  gOleInitialized = false;
  gLibrary.Reset();
}

// ---- the object callback -------------------------------------------------------------

// Answers the control's requests about embedded objects. The control holds one reference and
// the library more while a window uses it; the object goes with the last one.
class TKLCustomRichEdit::TOleCallback final : public IRichEditOleCallback {
public:
  explicit TOleCallback(TKLCustomRichEdit* richEdit) : richEdit_(richEdit) {}
  void Detach() { richEdit_ = nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IRichEditOleCallback)) {
      *object = static_cast<IRichEditOleCallback*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  // Each new object gets storage in memory; the document is never saved as a compound file.
  HRESULT STDMETHODCALLTYPE GetNewStorage(LPSTORAGE* storage) override {
    if (!storage) return E_INVALIDARG;
    *storage = nullptr;
    TComPtr<ILockBytes> bytes;
    const HRESULT hr = CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.Put());
    if (FAILED(hr)) return hr;
    return StgCreateDocfileOnILockBytes(bytes.Get(), STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_READWRITE, 0, storage);
  }
  // No in-place activation: objects open in their own windows.
  HRESULT STDMETHODCALLTYPE GetInPlaceContext(LPOLEINPLACEFRAME*, LPOLEINPLACEUIWINDOW*,
                                              LPOLEINPLACEFRAMEINFO) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ShowContainerUI(WINBOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryInsertObject(LPCLSID, LPSTORAGE, LONG) override {
    return richEdit_ && richEdit_->AllowObjects() ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE DeleteObject(LPOLEOBJECT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE QueryAcceptData(LPDATAOBJECT, CLIPFORMAT*, DWORD, WINBOOL, HGLOBAL) override {
    return richEdit_ && !richEdit_->ReadOnly() ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL) override { return S_OK; }
  // The control's own clipboard data.
  HRESULT STDMETHODCALLTYPE GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDragDropEffect(WINBOOL, DWORD, LPDWORD) override { return S_OK; }
  // The control shows its menus itself on the context-menu request.
  HRESULT STDMETHODCALLTYPE GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU*) override { return E_NOTIMPL; }

private:
  ~TOleCallback() = default;
  TKLCustomRichEdit* richEdit_;
  std::atomic<ULONG> refs_{1};
};

// ---- lines ---------------------------------------------------------------------------

class TRichEditStrings : public TStrings {
public:
  explicit TRichEditStrings(TKLCustomRichEdit* richEdit) : richEdit_(richEdit) {}

  int Count() const override {
    int count = static_cast<int>(Send(EM_GETLINECOUNT, 0, 0));
    if (count > 0 && Send(EM_LINELENGTH, Send(EM_LINEINDEX, count - 1, 0), 0) == 0) --count;
    return count;
  }

  std::string Get(int index) const override {
    std::string line(kLineBufferSize, '\0');
    *reinterpret_cast<WORD*>(line.data()) = kLineBufferSize;
    line.resize(static_cast<size_t>(Send(EM_GETLINE, index, reinterpret_cast<LPARAM>(line.data()))));
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0)
      line.resize(line.size() - 2);
    else if (RichEditVersion >= 2 && !line.empty() && line.back() == '\r')
      line.pop_back();
    return line;
  }

  void Put(int index, const std::string& s) override {
    const LRESULT start = Send(EM_LINEINDEX, index, 0);
    if (start < 0) return;
    CHARRANGE range{static_cast<LONG>(start), static_cast<LONG>(start + Send(EM_LINELENGTH, start, 0))};
    Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    richEdit_->SendOwnChange(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(s.c_str()));
  }

  void Insert(int index, const std::string& s) override {
    if (index < 0) return;
    const char* lineEnd = RichEditVersion == 1 ? "\r\n" : "\r";
    LRESULT start = Send(EM_LINEINDEX, index, 0);
    std::string text = s + lineEnd;
    if (start < 0) {
      start = Send(EM_LINEINDEX, index - 1, 0);
      if (start < 0) return;
      const LRESULT length = Send(EM_LINELENGTH, start, 0);
      if (length == 0) return;
      start += length;
      text = lineEnd + s;
    }
    CHARRANGE range{static_cast<LONG>(start), static_cast<LONG>(start)};
    Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    richEdit_->SendOwnChange(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (RichEditVersion == 1) {
      CHARRANGE after{};
      Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&after));
      if (after.cpMin != start + static_cast<LONG>(text.size())) throw EOutOfResources("RichEdit line insertion error");
    }
  }

  void Delete(int index) override {
    const LRESULT start = Send(EM_LINEINDEX, index, 0);
    if (index < 0 || start < 0) return;
    LRESULT end = Send(EM_LINEINDEX, index + 1, 0);
    if (end < 0) end = start + Send(EM_LINELENGTH, start, 0);
    CHARRANGE range{static_cast<LONG>(start), static_cast<LONG>(end)};
    Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    richEdit_->SendOwnChange(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(""));
  }

  void Clear() override { richEdit_->Clear(); }

  // Tries the chosen format, then once the other one from the same position; the document
  // then shows from its top.
  void LoadFromStream(TStream& stream) override {
    HWND wnd = richEdit_->Handle();
    const int64_t position = stream.Position();
    const DWORD format = richEdit_->StreamFlags(false);
    if (!TKLCustomRichEdit::StreamIn(wnd, stream, format)) {
      stream.SetPosition(position);
      if (!TKLCustomRichEdit::StreamIn(wnd, stream, (format & SF_RTF) ? SF_TEXT : SF_RTF))
        throw EOutOfResources("Failed to Load Stream");
    }
    CHARRANGE top{0, 0};
    Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&top));
    Send(EM_SCROLLCARET, 0, 0);
  }

  void SaveToStream(TStream& stream) const override {
    if (!TKLCustomRichEdit::StreamOut(richEdit_->Handle(), stream, richEdit_->StreamFlags(true)))
      throw EOutOfResources("Failed to Save Stream");
  }

protected:
  void SetUpdateState(bool updating) override {
    Send(WM_SETREDRAW, !updating, 0);
    if (!updating) InvalidateRect(richEdit_->Handle(), nullptr, TRUE);
  }

private:
  LRESULT Send(UINT msg, WPARAM wp, LPARAM lp) const { return SendMessageA(richEdit_->Handle(), msg, wp, lp); }
  TKLCustomRichEdit* richEdit_;
};

// ---- the control ---------------------------------------------------------------------

const TClassInfo& TKLCustomRichEdit::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLCustomRichEdit>("TKLCustomRichEdit", &TCustomMemo::StaticClassInfo())
          .Boolean("AllowInPlace", &TKLCustomRichEdit::AllowInPlace, &TKLCustomRichEdit::SetAllowInPlace, true)
          .Boolean("AllowObjects", &TKLCustomRichEdit::AllowObjects, &TKLCustomRichEdit::SetAllowObjects, true)
          .Boolean("AutoURLDetect", &TKLCustomRichEdit::AutoURLDetect, &TKLCustomRichEdit::SetAutoURLDetect, true)
          .Boolean("AutoVerbMenu", &TKLCustomRichEdit::AutoVerbMenu, &TKLCustomRichEdit::SetAutoVerbMenu, true)
          .Integer("Color", &TKLCustomRichEdit::Color, &TKLCustomRichEdit::SetColor, clWindow, &ColorIdents())
          .Boolean("HideScrollBars", &TKLCustomRichEdit::HideScrollBars, &TKLCustomRichEdit::SetHideScrollBars, true)
          .Set("LangOptions", &TKLCustomRichEdit::LangOptions, &TKLCustomRichEdit::SetLangOptions, kLangOptionNames,
               rlAutoFont)
          .Boolean("PlainText", &TKLCustomRichEdit::PlainText, &TKLCustomRichEdit::SetPlainText, false)
          .Boolean("SelectionBar", &TKLCustomRichEdit::SelectionBar, &TKLCustomRichEdit::SetSelectionBar, true)
          .Enum("StreamFormat", &TKLCustomRichEdit::StreamFormat, &TKLCustomRichEdit::SetStreamFormat,
                kStreamFormatNames, 0)
          .Set("StreamMode", &TKLCustomRichEdit::StreamMode, &TKLCustomRichEdit::SetStreamMode, kStreamModeNames, 0)
          .String("Title", &TKLCustomRichEdit::Title, &TKLCustomRichEdit::SetTitle)
          .Integer("UndoLimit", &TKLCustomRichEdit::UndoLimit, &TKLCustomRichEdit::SetUndoLimit, 100)
          .Boolean("WordSelection", &TKLCustomRichEdit::WordSelection, &TKLCustomRichEdit::SetWordSelection, true)
          .Event("OnProtectChange", &TKLCustomRichEdit::OnProtectChange)
          .Event("OnProtectChangeEx", &TKLCustomRichEdit::OnProtectChangeEx)
          .Event("OnResizeRequest", &TKLCustomRichEdit::OnResizeRequest)
          .Event("OnSaveClipboard", &TKLCustomRichEdit::OnSaveClipboard)
          .Event("OnSelectionChange", &TKLCustomRichEdit::OnSelectionChange)
          .Event("OnURLClick", &TKLCustomRichEdit::OnURLClick)
          .Info();
  return info;
}

const TClassInfo& TKLRichEditOLE::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLRichEditOLE>("TKLRichEditOLE", &TKLCustomRichEdit::StaticClassInfo()).Info();
  return info;
}

TKLCustomRichEdit::TKLCustomRichEdit(TComponent* owner) : TCustomMemo(owner) {
  SetLinesObject(std::make_unique<TRichEditStrings>(this));
  SetScrollBars(TScrollStyle::ssBoth);
  screenLogPixels_ = GetDeviceCaps(TWindowDC(nullptr).Get(), LOGPIXELSY);
  callback_.Reset(new TOleCallback(this));
}

TKLCustomRichEdit::~TKLCustomRichEdit() {
  DestroyWindowNow();
  callback_->Detach();
}

void TKLCustomRichEdit::CreateParams(TCreateParams& params) {
  TCustomMemo::CreateParams(params);
  params.WinClassName = RichEditVersion == 1 ? "RICHEDIT" : "RichEdit20A";
  params.Style &= ~(WS_VSCROLL | WS_HSCROLL);
  params.Style |= ES_SAVESEL | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  const TScrollStyle bars = ScrollBars();
  if (bars == TScrollStyle::ssVertical || bars == TScrollStyle::ssBoth) params.Style |= WS_VSCROLL;
  if ((bars == TScrollStyle::ssHorizontal || bars == TScrollStyle::ssBoth) && !WordWrap()) params.Style |= WS_HSCROLL;
  if (!hideScrollBars_) params.Style |= ES_DISABLENOSCROLL;
  if (selectionBar_) params.Style |= ES_SELECTIONBAR;
}

void TKLCustomRichEdit::InitializeWindow() {
  const LANGID lang = GetSystemDefaultLangID();
  if (GetSystemMetrics(SM_DBCSENABLED) && PRIMARYLANGID(lang) != LANG_JAPANESE) {
    LOGFONTA system{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof system, &system);
    Font().SetCharset(system.lfCharSet);
  }
  SendMessageA(Handle(), EM_SETEVENTMASK, 0, RichEditVersion >= 2 ? (kEventMask | ENM_LINK) : kEventMask);
  ApplyOptions();
  if (allowObjects_) ApplyObjectSupport();
}

void TKLCustomRichEdit::ApplyOptions() {
  HWND wnd = Handle();
  SendMessageA(wnd, EM_SETBKGNDCOLOR, 0, ColorToRGB(color_));
  SetWordSelection(wordSelection_);
  if (RichEditVersion < 2) return;
  SendMessageA(wnd, EM_AUTOURLDETECT, autoURLDetect_, 0);
  undoLimit_ = static_cast<int32_t>(SendMessageA(wnd, EM_SETUNDOLIMIT, undoLimit_, 0));
  SendMessageA(wnd, EM_SETTEXTMODE,
               (plainText_ ? TM_PLAINTEXT : TM_RICHTEXT) | (undoLimit_ < 2 ? TM_SINGLELEVELUNDO : TM_MULTILEVELUNDO),
               0);
  SendMessageA(wnd, EM_SETLANGOPTIONS, 0, langOptions_);
}

void TKLCustomRichEdit::ApplyObjectSupport() {
  HWND wnd = Handle();
  SendMessageA(wnd, EM_SETOLECALLBACK, 0,
               reinterpret_cast<LPARAM>(static_cast<IRichEditOleCallback*>(callback_.Get())));
  richEditOle_.Reset();
  IRichEditOle* ole = nullptr;
  if (!SendMessageA(wnd, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole)) || !ole) return;
  richEditOle_.Reset(ole);
  const std::string appTitle = TrimmedOr(Application ? Application->Title() : std::string(), ExeFileName());
  const std::string objTitle = TrimmedOr(title_, appTitle);
  richEditOle_->SetHostNames(appTitle.c_str(), objTitle.c_str());
}

void TKLCustomRichEdit::RestoreContent() {
  if (savedContent_) {
    std::unique_ptr<TMemoryStream> saved = std::move(savedContent_);
    saved->SetPosition(0);
    uint8_t designed = 0;
    saved->ReadBuffer(&designed, 1);
    if (!StreamIn(Handle(), *saved, designed == 1 ? SF_TEXT : StreamFlags(false)))
      throw EOutOfResources("Failed to Load Stream");
  }
  if (RichEditVersion == 1) SendMessageA(Handle(), WM_SETFONT, 0, 0);
}

void TKLCustomRichEdit::KeepContent(HWND wnd) {
  auto saved = std::make_unique<TMemoryStream>();
  const uint8_t designed = HasState(csDesigning) ? 1 : 0;
  saved->WriteBuffer(&designed, 1);
  if (!StreamOut(wnd, *saved, designed == 1 ? SF_TEXT : StreamFlags(true)))
    throw EOutOfResources("Failed to Save Stream");
  saved->SetPosition(0);
  savedContent_ = std::move(saved);
}

void TKLCustomRichEdit::CloseObjects() {
  if (!richEditOle_) return;
  for (LONG i = richEditOle_->GetObjectCount() - 1; i >= 0; --i) {
    REOBJECT object{};
    object.cbStruct = sizeof object;
    if (SUCCEEDED(richEditOle_->GetObject(i, &object, REO_GETOBJ_POLEOBJ)) && object.poleobj)
      TComPtr<IOleObject>(object.poleobj)->Close(OLECLOSE_NOSAVE);
  }
  richEditOle_.Reset();
}

DWORD TKLCustomRichEdit::StreamFlags(bool saving) const {
  const bool plain =
      streamFormat_ == TRichStreamFormat::sfPlainText || (streamFormat_ == TRichStreamFormat::sfDefault && plainText_);
  DWORD format = plain ? SF_TEXT : SF_RTF;
  if (!plain && saving && (streamMode_ & smNoObjects)) format = SF_RTFNOOBJS;
  if (!plain && (streamMode_ & smPlainRtf)) format |= SFF_PLAINRTF;
  if (plain && (streamMode_ & smUnicode) && RichEditVersion >= 2) format |= SF_UNICODE;
  if (streamMode_ & smSelection) format |= SFF_SELECTION;
  return format;
}

bool TKLCustomRichEdit::StreamIn(HWND wnd, TStream& stream, DWORD format) {
  TStreamCookie cookie{&stream};
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&cookie), 0, ReadCallback};
  SendMessageA(wnd, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&es));
  return es.dwError == 0;
}

bool TKLCustomRichEdit::StreamOut(HWND wnd, TStream& stream, DWORD format) {
  TStreamCookie cookie{&stream};
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&cookie), 0, WriteCallback};
  SendMessageA(wnd, EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&es));
  return es.dwError == 0;
}

void TKLCustomRichEdit::ApplyMaxLength() {
  SendMessageA(Handle(), EM_EXLIMITTEXT, 0, MaxLength() > 0 ? MaxLength() : 0x7FFFFFFE);
}

LRESULT TKLCustomRichEdit::EditMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: return Paint(wnd, wp, lp);
    case WM_RBUTTONUP:
      if (RichEditVersion >= 2 || SystemMajorVersion() < 5) {
        POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ::ClientToScreen(wnd, &p);
        SendMessageA(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(p.x, p.y));
      }
      break;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wp) == wnd) {
        if (autoVerbMenu_) ShowVerbMenu(wnd, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
      }
      break;
    case WM_DESTROY:
      WindowDestroying(wnd);
      CloseObjects();
      // Copied text goes on the clipboard as the control's own data object, rendered on
      // demand: once the control is gone nothing could render it, and ending OLE would touch
      // the freed object (Wine crashes there). Rendered now, the copy outlives the control.
      OleFlushClipboard();
      return CallDefault(wnd, msg, wp, lp);
  }
  return TCustomMemo::EditMessage(wnd, msg, wp, lp);
}

// Invalidating the rightmost strip as well keeps the library from leaving a stale column
// there when the text scrolls or wraps.
LRESULT TKLCustomRichEdit::Paint(HWND wnd, WPARAM wp, LPARAM lp) {
  RECT update;
  if (GetUpdateRect(wnd, &update, FALSE)) {
    RECT client;
    GetClientRect(wnd, &client);
    RECT strip{client.right - 3, client.top, client.right, client.bottom};
    RECT touched;
    if (IntersectRect(&touched, &update, &strip)) InvalidateRect(wnd, &strip, TRUE);
  }
  if (gPainting) {
    InvalidateRect(wnd, nullptr, TRUE);
    return 0;
  }
  gPainting = true;
  TScopeGuard done([] { gPainting = false; });
  return CallDefault(wnd, WM_PAINT, wp, lp);
}

// One selected embedded object: its verbs, the first as default, then its properties.
void TKLCustomRichEdit::ShowVerbMenu(HWND wnd, POINT screenPos) {
  if (!richEditOle_ || SendMessageA(wnd, EM_SELECTIONTYPE, 0, 0) != SEL_OBJECT) return;
  REOBJECT object{};
  object.cbStruct = sizeof object;
  if (FAILED(richEditOle_->GetObject(REO_IOB_SELECTION, &object, REO_GETOBJ_POLEOBJ | REO_GETOBJ_POLESITE))) return;
  const TComPtr<IOleObject> ole(object.poleobj);
  const TComPtr<IOleClientSite> site(object.polesite);
  if (!ole) return;
  const TOwnedMenu popup(CreatePopupMenu());
  HMENU menu = popup.Get();
  std::vector<LONG> verbs;
  // Menus take ANSI text: the wide menu functions are missing on the 9x family.
  TComPtr<IEnumOLEVERB> list;
  if (SUCCEEDED(ole->EnumVerbs(list.Put())) && list) {
    OLEVERB verb{};
    while (list->Next(1, &verb, nullptr) == S_OK) {
      const TCoTaskMem<wchar_t> name(verb.lpszVerbName);
      if (verb.lVerb >= 0 && (verb.grfAttribs & OLEVERBATTRIB_ONCONTAINERMENU) && name) {
        verbs.push_back(verb.lVerb);
        AppendMenuA(menu, MF_STRING | verb.fuFlags, verbs.size(), WideToAnsi(name.Get()).c_str());
      }
    }
  }
  if (!verbs.empty()) SetMenuDefaultItem(menu, 1, FALSE);
  TCoTaskMem<wchar_t> fullName;
  ole->GetUserType(USERCLASSTYPE_FULL, fullName.Put());
  const std::string properties = WideToAnsi(fullName.Get()) + " Properties";
  const UINT propertiesId = static_cast<UINT>(verbs.size() + 1);
  AppendMenuA(menu, MF_STRING, propertiesId, properties.c_str());
  const UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screenPos.x, screenPos.y, 0, wnd, nullptr);
  if (chosen == 0) return;
  RECT client;
  GetClientRect(wnd, &client);
  const LONG verb = chosen == propertiesId ? kVerbProperties : verbs[chosen - 1];
  ole->DoVerb(verb, nullptr, site.Get(), 0, wnd, &client);
}

bool TKLCustomRichEdit::NotifyReceived(const NMHDR& header, LRESULT& result) {
  switch (header.code) {
    case EN_LINK: LinkNotify(reinterpret_cast<const ENLINK&>(header)); return false;
    case EN_SELCHANGE:
      if (OnSelectionChange) OnSelectionChange(this);
      return false;
    case EN_REQUESTRESIZE:
      if (OnResizeRequest) OnResizeRequest(this, reinterpret_cast<const REQRESIZE&>(header).rc);
      return false;
    case EN_PROTECTED: {
      const auto& p = reinterpret_cast<const ENPROTECTED&>(header);
      bool allow = false;
      const auto& handler = OnProtectChangeEx ? OnProtectChangeEx : OnProtectChange;
      if (handler) handler(this, p.msg, p.chrg.cpMin, p.chrg.cpMax, allow);
      result = allow ? 0 : 1;
      return true;
    }
    case EN_SAVECLIPBOARD: {
      const auto& p = reinterpret_cast<const ENSAVECLIPBOARD&>(header);
      bool save = true;
      if (OnSaveClipboard) OnSaveClipboard(this, p.cObjectCount, p.cch, save);
      result = save ? 0 : 1;
      return true;
    }
  }
  return false;
}

// A click is a press and a release on the same link.
void TKLCustomRichEdit::LinkNotify(const ENLINK& link) {
  if (link.msg == WM_LBUTTONDOWN) {
    linkRange_ = link.chrg;
  } else if (link.msg == WM_LBUTTONUP) {
    const CHARRANGE pressed = std::exchange(linkRange_, CHARRANGE{-1, -1});
    if (pressed.cpMin == link.chrg.cpMin && pressed.cpMax == link.chrg.cpMax && OnURLClick)
      OnURLClick(this, TextRange(link.chrg.cpMin, link.chrg.cpMax), TMouseButton::mbLeft);
  }
}

std::string TKLCustomRichEdit::TextRange(int32_t startPos, int32_t endPos) {
  if (endPos < startPos) return {};
  std::string text(static_cast<size_t>(endPos - startPos + 1), '\0');
  TEXTRANGEA range{{startPos, endPos}, text.data()};
  text.resize(static_cast<size_t>(SendMessageA(Handle(), EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range))));
  return text;
}

int32_t TKLCustomRichEdit::SelStart() {
  CHARRANGE range{};
  SendMessageA(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range.cpMin;
}

void TKLCustomRichEdit::SetSelStart(int32_t value) {
  CHARRANGE range{value, value};
  SendMessageA(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

int32_t TKLCustomRichEdit::SelLength() {
  CHARRANGE range{};
  SendMessageA(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range.cpMax - range.cpMin;
}

void TKLCustomRichEdit::SetSelLength(int32_t value) {
  CHARRANGE range{};
  SendMessageA(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  range.cpMax = range.cpMin + value;
  SendMessageA(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

std::string TKLCustomRichEdit::SelText() {
  CHARRANGE range{};
  SendMessageA(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  std::string text(static_cast<size_t>(range.cpMax - range.cpMin + 1), '\0');
  text.resize(static_cast<size_t>(SendMessageA(Handle(), EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

void TKLCustomRichEdit::SetAutoURLDetect(bool value) {
  autoURLDetect_ = value;
  if (HandleAllocated() && RichEditVersion >= 2) SendMessageA(Handle(), EM_AUTOURLDETECT, value, 0);
}

void TKLCustomRichEdit::SetAllowObjects(bool value) {
  if (value == allowObjects_) return;
  allowObjects_ = value;
  RecreateWnd();
}

void TKLCustomRichEdit::SetHideScrollBars(bool value) {
  if (value == hideScrollBars_) return;
  hideScrollBars_ = value;
  RecreateWnd();
}

void TKLCustomRichEdit::SetSelectionBar(bool value) {
  if (value == selectionBar_) return;
  selectionBar_ = value;
  RecreateWnd();
}

// Only this option changes; the others the window holds (read-only among them) stay.
void TKLCustomRichEdit::SetWordSelection(bool value) {
  wordSelection_ = value;
  if (!HandleAllocated()) return;
  LRESULT options = SendMessageA(Handle(), EM_GETOPTIONS, 0, 0);
  options = value ? (options | ECO_AUTOWORDSELECTION) : (options & ~ECO_AUTOWORDSELECTION);
  SendMessageA(Handle(), EM_SETOPTIONS, ECOOP_SET, options);
}

void TKLCustomRichEdit::SetPlainText(bool value) {
  if (value == plainText_) return;
  plainText_ = value;
  RecreateWnd();
}

void TKLCustomRichEdit::SetLangOptions(TRichLangOptions value) {
  langOptions_ = value;
  if (HandleAllocated() && RichEditVersion >= 2) SendMessageA(Handle(), EM_SETLANGOPTIONS, 0, value);
}

void TKLCustomRichEdit::SetUndoLimit(int32_t value) {
  undoLimit_ = value;
  if (HandleAllocated() && RichEditVersion >= 2)
    undoLimit_ = static_cast<int32_t>(SendMessageA(Handle(), EM_SETUNDOLIMIT, value, 0));
}

void TKLCustomRichEdit::SetColor(TColor value) {
  color_ = value;
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETBKGNDCOLOR, 0, ColorToRGB(value));
}

// ---- printing ------------------------------------------------------------------------

namespace {
// The default printer as "name,driver,port" in the [windows] section: there on every
// system this program runs on.
TOwnedDC DefaultPrinterDC() {
  char device[512] = {};
  GetProfileStringA("windows", "device", "", device, sizeof device);
  std::string entry(device);
  const size_t first = entry.find(',');
  const size_t second = first == std::string::npos ? first : entry.find(',', first + 1);
  if (entry.empty() || second == std::string::npos) return {};
  const std::string name = entry.substr(0, first);
  const std::string driver = entry.substr(first + 1, second - first - 1);
  const std::string port = entry.substr(second + 1);
  return TOwnedDC(CreateDCA(driver.c_str(), name.c_str(), port.c_str(), nullptr));
}

RECT PageTwips(HDC dc) {
  return RECT{0, 0, MulDiv(GetDeviceCaps(dc, HORZRES), 1440, GetDeviceCaps(dc, LOGPIXELSX)),
              MulDiv(GetDeviceCaps(dc, VERTRES), 1440, GetDeviceCaps(dc, LOGPIXELSY))};
}
}  // namespace

void TKLCustomRichEdit::Print(const std::string& caption) {
  const TOwnedDC printer = DefaultPrinterDC();
  if (!printer) throw EInvalidOperation("There is no default printer currently selected");
  HDC dc = printer.Get();
  HWND wnd = Handle();
  DOCINFOA doc{};
  doc.cbSize = sizeof doc;
  doc.lpszDocName = caption.c_str();
  if (StartDocA(dc, &doc) <= 0) throw EInvalidOperation("Printing of " + caption + " could not start");
  FORMATRANGE range{};
  range.hdc = dc;
  range.hdcTarget = dc;
  range.rcPage = PageTwips(dc);
  const LONG length = static_cast<LONG>(SendMessageA(wnd, WM_GETTEXTLENGTH, 0, 0));
  range.chrg = CHARRANGE{0, -1};
  bool ok = true;
  do {
    range.rc = range.rcPage;
    ok = StartPage(dc) > 0;
    if (!ok) break;
    const LONG next = static_cast<LONG>(SendMessageA(wnd, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&range)));
    ok = EndPage(dc) > 0 && next > range.chrg.cpMin;
    range.chrg.cpMin = next;
  } while (ok && range.chrg.cpMin < length);
  SendMessageA(wnd, EM_FORMATRANGE, FALSE, 0);
  if (!ok) {
    AbortDoc(dc);
    throw EInvalidOperation("Printing of " + caption + " failed");
  }
  EndDoc(dc);
}

// ---- text and paragraph attributes ---------------------------------------------------

CHARFORMAT2A TKLTextAttributes::Read() const {
  CHARFORMAT2A format{};
  format.cbSize = RichEditVersion == 1 ? sizeof(CHARFORMATA) : sizeof(CHARFORMAT2A);
  if (!richEdit_->HandleAllocated() && type_ == TAttributeType::atDefaultText) return format;
  const WPARAM which = type_ == TAttributeType::atDefaultText ? SCF_DEFAULT : SCF_SELECTION;
  SendMessageA(richEdit_->Handle(), EM_GETCHARFORMAT, which, reinterpret_cast<LPARAM>(&format));
  return format;
}

void TKLTextAttributes::Write(CHARFORMAT2A format) {
  format.cbSize = RichEditVersion == 1 ? sizeof(CHARFORMATA) : sizeof(CHARFORMAT2A);
  WPARAM which = SCF_SELECTION;
  if (type_ == TAttributeType::atDefaultText) which = SCF_DEFAULT;
  if (type_ == TAttributeType::atWord) which = SCF_SELECTION | SCF_WORD;
  SendMessageA(richEdit_->Handle(), EM_SETCHARFORMAT, which, reinterpret_cast<LPARAM>(&format));
}

std::string TKLTextAttributes::Name() { return Read().szFaceName; }

void TKLTextAttributes::SetName(const std::string& value) {
  CHARFORMAT2A f{};
  f.dwMask = CFM_FACE;
  lstrcpynA(f.szFaceName, value.c_str(), LF_FACESIZE);
  Write(f);
}

int32_t TKLTextAttributes::Size() { return Read().yHeight / 20; }

void TKLTextAttributes::SetSize(int32_t value) {
  CHARFORMAT2A f{};
  f.dwMask = CFM_SIZE;
  f.yHeight = value * 20;
  Write(f);
}

int32_t TKLTextAttributes::Height() { return -MulDiv(Size(), richEdit_->screenLogPixels_, 72); }

void TKLTextAttributes::SetHeight(int32_t value) {
  SetSize(MulDiv(value < 0 ? -value : value, 72, richEdit_->screenLogPixels_));
}

TColor TKLTextAttributes::Color() {
  const CHARFORMAT2A f = Read();
  return (f.dwEffects & CFE_AUTOCOLOR) ? clWindowText : static_cast<TColor>(f.crTextColor);
}

void TKLTextAttributes::SetColor(TColor value) {
  CHARFORMAT2A f{};
  f.dwMask = CFM_COLOR;
  if (value == clWindowText)
    f.dwEffects = CFE_AUTOCOLOR;
  else
    f.crTextColor = ColorToRGB(value);
  Write(f);
}

uint8_t TKLTextAttributes::Style() {
  const DWORD e = Read().dwEffects;
  return ((e & CFE_BOLD) ? fsBold : 0) | ((e & CFE_ITALIC) ? fsItalic : 0) | ((e & CFE_UNDERLINE) ? fsUnderline : 0) |
         ((e & CFE_STRIKEOUT) ? fsStrikeOut : 0);
}

void TKLTextAttributes::SetStyle(uint8_t value) {
  CHARFORMAT2A f{};
  f.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
  f.dwEffects = ((value & fsBold) ? CFE_BOLD : 0) | ((value & fsItalic) ? CFE_ITALIC : 0) |
                ((value & fsUnderline) ? CFE_UNDERLINE : 0) | ((value & fsStrikeOut) ? CFE_STRIKEOUT : 0);
  Write(f);
}

uint8_t TKLTextAttributes::Charset() { return Read().bCharSet; }

void TKLTextAttributes::SetCharset(uint8_t value) {
  CHARFORMAT2A f{};
  f.dwMask = CFM_CHARSET;
  f.bCharSet = value;
  Write(f);
}

bool TKLTextAttributes::Protected() { return (Read().dwEffects & CFE_PROTECTED) != 0; }

void TKLTextAttributes::SetProtected(bool value) {
  CHARFORMAT2A f{};
  f.dwMask = CFM_PROTECTED;
  f.dwEffects = value ? CFE_PROTECTED : 0;
  Write(f);
}

void TKLTextAttributes::Assign(const TPersistent* source) {
  if (auto* font = dynamic_cast<const TFont*>(source)) {
    CHARFORMAT2A f{};
    f.dwMask = CFM_FACE | CFM_SIZE | CFM_COLOR | CFM_CHARSET | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
    lstrcpynA(f.szFaceName, font->Name().c_str(), LF_FACESIZE);
    f.yHeight = font->Size() * 20;
    f.crTextColor = font->Color();
    f.bCharSet = font->Charset();
    const uint8_t s = font->Style();
    f.dwEffects |= ((s & fsBold) ? CFE_BOLD : 0) | ((s & fsItalic) ? CFE_ITALIC : 0) |
                   ((s & fsUnderline) ? CFE_UNDERLINE : 0) | ((s & fsStrikeOut) ? CFE_STRIKEOUT : 0);
    Write(f);
    return;
  }
  if (auto* other = dynamic_cast<const TKLTextAttributes*>(source)) {
    CHARFORMAT2A f = other->Read();
    f.dwMask &= (CFM_FACE | CFM_SIZE | CFM_COLOR | CFM_CHARSET | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT |
                 CFM_PROTECTED);
    Write(f);
    return;
  }
  TPersistent::Assign(source);
}

void TKLTextAttributes::AssignTo(TPersistent* dest) const {
  auto* font = dynamic_cast<TFont*>(dest);
  if (!font) return TPersistent::AssignTo(dest);
  auto& self = const_cast<TKLTextAttributes&>(*this);
  font->SetName(self.Name());
  font->SetSize(self.Size());
  font->SetColor(ColorToRGB(self.Color()));
  font->SetCharset(self.Charset());
  font->SetStyle(self.Style());
}

PARAFORMAT TKLParaAttributes::Read() const {
  PARAFORMAT format{};
  format.cbSize = sizeof format;
  SendMessageA(richEdit_->Handle(), EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
  return format;
}

void TKLParaAttributes::Write(PARAFORMAT format) {
  format.cbSize = sizeof format;
  SendMessageA(richEdit_->Handle(), EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
}

TParaAlignment TKLParaAttributes::Alignment() {
  switch (Read().wAlignment) {
    case PFA_RIGHT: return TParaAlignment::taRightJustify;
    case PFA_CENTER: return TParaAlignment::taCenter;
    default: return TParaAlignment::taLeftJustify;
  }
}

void TKLParaAttributes::SetAlignment(TParaAlignment value) {
  PARAFORMAT f{};
  f.dwMask = PFM_ALIGNMENT;
  f.wAlignment = value == TParaAlignment::taRightJustify ? PFA_RIGHT
                 : value == TParaAlignment::taCenter     ? PFA_CENTER
                                                         : PFA_LEFT;
  Write(f);
}

int32_t TKLParaAttributes::FirstIndent() { return Read().dxStartIndent / 20; }

void TKLParaAttributes::SetFirstIndent(int32_t value) {
  PARAFORMAT f{};
  f.dwMask = PFM_STARTINDENT;
  f.dxStartIndent = value * 20;
  Write(f);
}

int32_t TKLParaAttributes::LeftIndent() { return Read().dxOffset / 20; }

void TKLParaAttributes::SetLeftIndent(int32_t value) {
  PARAFORMAT f{};
  f.dwMask = PFM_OFFSET;
  f.dxOffset = value * 20;
  Write(f);
}

int32_t TKLParaAttributes::RightIndent() { return Read().dxRightIndent / 20; }

void TKLParaAttributes::SetRightIndent(int32_t value) {
  PARAFORMAT f{};
  f.dwMask = PFM_RIGHTINDENT;
  f.dxRightIndent = value * 20;
  Write(f);
}

TNumberingStyle TKLParaAttributes::Numbering() {
  return Read().wNumbering == PFN_BULLET ? TNumberingStyle::nsBullet : TNumberingStyle::nsNone;
}

void TKLParaAttributes::SetNumbering(TNumberingStyle value) {
  PARAFORMAT f{};
  f.dwMask = PFM_NUMBERING;
  f.wNumbering = value == TNumberingStyle::nsBullet ? PFN_BULLET : 0;
  Write(f);
}

int32_t TKLParaAttributes::TabCount() { return Read().cTabCount; }

void TKLParaAttributes::SetTabCount(int32_t value) {
  PARAFORMAT f = Read();
  f.dwMask = PFM_TABSTOPS;
  f.cTabCount = static_cast<SHORT>(std::clamp<int32_t>(value, 0, MAX_TAB_STOPS));
  Write(f);
}

int32_t TKLParaAttributes::Tab(int index) {
  if (index < 0 || index >= MAX_TAB_STOPS) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return Read().rgxTabs[index] / 20;
}

void TKLParaAttributes::SetTab(int index, int32_t value) {
  if (index < 0 || index >= MAX_TAB_STOPS) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  PARAFORMAT f = Read();
  f.dwMask = PFM_TABSTOPS;
  f.rgxTabs[index] = value * 20;
  f.cTabCount = static_cast<SHORT>(std::max<int32_t>(f.cTabCount, index + 1));
  Write(f);
}

void TKLParaAttributes::Assign(const TPersistent* source) {
  auto* other = dynamic_cast<const TKLParaAttributes*>(source);
  if (!other) return TPersistent::Assign(source);
  PARAFORMAT f = other->Read();
  f.dwMask = PFM_ALIGNMENT | PFM_STARTINDENT | PFM_OFFSET | PFM_RIGHTINDENT | PFM_NUMBERING | PFM_TABSTOPS;
  Write(f);
}

}  // namespace orv
