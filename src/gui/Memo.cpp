#include <windows.h>
#include <richedit.h>

#include "gui/Memo.h"

#include <utility>
#include <vector>

#include "base/Exceptions.h"
#include "base/ScopeGuard.h"

namespace orv {

namespace {
const std::vector<std::string> kScrollStyleNames = {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};
const char kMemoProp[] = "OrvasilMemoObject";

// The lines of an EDIT window.
class TMemoStrings : public TStrings {
public:
  explicit TMemoStrings(TCustomMemo* memo) : memo_(memo) {}

  int Count() const override {
    int count = static_cast<int>(Send(EM_GETLINECOUNT, 0, 0));
    if (count > 0 && Send(EM_LINELENGTH, Send(EM_LINEINDEX, count - 1, 0), 0) == 0) --count;
    return count;
  }

  std::string Get(int index) const override {
    const LRESULT start = Send(EM_LINEINDEX, index, 0);
    if (index < 0 || start < 0) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    const LRESULT length = Send(EM_LINELENGTH, start, 0);
    std::string line(std::max<LRESULT>(length, sizeof(WORD)), '\0');
    *reinterpret_cast<WORD*>(line.data()) = static_cast<WORD>(length);
    line.resize(Send(EM_GETLINE, index, reinterpret_cast<LPARAM>(line.data())));
    return line;
  }

  void Put(int index, const std::string& s) override {
    const LRESULT start = Send(EM_LINEINDEX, index, 0);
    if (start < 0) return;
    Send(EM_SETSEL, start, start + Send(EM_LINELENGTH, start, 0));
    memo_->SendOwnChange(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(s.c_str()));
  }

  void Insert(int index, const std::string& s) override {
    if (index < 0) return;
    LRESULT start = Send(EM_LINEINDEX, index, 0);
    std::string text = s + "\r\n";
    if (start < 0) {
      if (index != Count()) return;
      start = Send(WM_GETTEXTLENGTH, 0, 0);
      // A last line that already ends with a line break takes the new line after it.
      if (index > 0 && Send(EM_LINELENGTH, Send(EM_LINEINDEX, index - 1, 0), 0) > 0) text = "\r\n" + s;
    }
    Send(EM_SETSEL, start, start);
    memo_->SendOwnChange(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }

  void Delete(int index) override {
    const LRESULT start = Send(EM_LINEINDEX, index, 0);
    if (index < 0 || start < 0) return;
    LRESULT end = Send(EM_LINEINDEX, index + 1, 0);
    if (end < 0) end = start + Send(EM_LINELENGTH, start, 0);
    Send(EM_SETSEL, start, end);
    memo_->SendOwnChange(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(""));
  }

  void Clear() override { memo_->Clear(); }

protected:
  void SetUpdateState(bool updating) override {
    Send(WM_SETREDRAW, !updating, 0);
    if (!updating) InvalidateRect(memo_->Handle(), nullptr, TRUE);
  }

private:
  LRESULT Send(UINT msg, WPARAM wp, LPARAM lp) const { return SendMessageA(memo_->Handle(), msg, wp, lp); }
  TCustomMemo* memo_;
};
}  // namespace

const TClassInfo& TCustomMemo::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TCustomMemo>("TCustomMemo", &TWinControl::StaticClassInfo())
          .Boolean("HideSelection", &TCustomMemo::HideSelection, &TCustomMemo::SetHideSelection, true)
          .Object("Lines", &TCustomMemo::Lines)
          .Integer("MaxLength", &TCustomMemo::MaxLength, &TCustomMemo::SetMaxLength, 0)
          .Boolean("ReadOnly", &TCustomMemo::ReadOnly, &TCustomMemo::SetReadOnly, false)
          .Enum("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars, kScrollStyleNames, 0)
          .Boolean("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns, true)
          .Boolean("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs, false)
          .Boolean("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap, true)
          .Event("OnChange", &TCustomMemo::OnChange)
          .Info();
  return info;
}

TCustomMemo::TCustomMemo(TComponent* owner) : TWinControl(owner), lines_(std::make_unique<TMemoStrings>(this)) {
  SetTabStop(true);
  SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() { DestroyWindowNow(); }

void TCustomMemo::DestroyWindowNow() {
  destroying_ = true;
  DestroyHandle();
}

void TCustomMemo::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.WinClassName = "EDIT";
  params.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
  params.ExStyle |= WS_EX_CLIENTEDGE;
  if (!wordWrap_) params.Style |= ES_AUTOHSCROLL;
  if (readOnly_) params.Style |= ES_READONLY;
  if (!hideSelection_) params.Style |= ES_NOHIDESEL;
  if (wantReturns_) params.Style |= ES_WANTRETURN;
  if (scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth) params.Style |= WS_VSCROLL;
  if (scrollBars_ == TScrollStyle::ssHorizontal || scrollBars_ == TScrollStyle::ssBoth) params.Style |= WS_HSCROLL;
  if (UseRightToLeftReading()) params.ExStyle |= WS_EX_RTLREADING;
}

void TCustomMemo::AfterCreateHandle() {
  HWND wnd = Handle();
  Subclass(wnd);
  ApplyMaxLength();
  InitializeWindow();
  RestoreContent();
  SendMessageA(wnd, EM_SETMODIFY, savedModified_, 0);
}

void TCustomMemo::WindowDestroying(HWND wnd) {
  if (destroying_) return;
  savedModified_ = SendMessageA(wnd, EM_GETMODIFY, 0, 0) != 0;
  KeepContent(wnd);
}

void TCustomMemo::KeepContent(HWND wnd) {
  std::string text(GetWindowTextLengthA(wnd) + 1, '\0');
  text.resize(GetWindowTextA(wnd, text.data(), static_cast<int>(text.size())));
  keptText_ = std::move(text);
}

void TCustomMemo::RestoreContent() {
  if (keptText_) SetWindowTextA(Handle(), keptText_->c_str());
  keptText_.reset();
}

void TCustomMemo::Subclass(HWND wnd) {
  SetPropA(wnd, kMemoProp, this);
  defProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TCustomMemo::SubclassProc)));
}

LRESULT CALLBACK TCustomMemo::SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = static_cast<TCustomMemo*>(GetPropA(wnd, kMemoProp));
  if (!self) return DefWindowProcA(wnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    const LRESULT result = CallWindowProcA(self->defProc_, wnd, msg, wp, lp);
    self->WindowGone(wnd);
    return result;
  }
  try {
    return self->EditMessage(wnd, msg, wp, lp);
  } catch (...) {
    KeepWindowException(std::current_exception());
    return 0;
  }
}

// The class has let go of the window: give back its procedure and forget the handle, also when
// the window was destroyed from outside.
void TCustomMemo::WindowGone(HWND wnd) {
  SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(defProc_));
  RemovePropA(wnd, kMemoProp);
  if (HandleAllocated() && Handle() == wnd) TWinControl::WndProc(WM_NCDESTROY, 0, 0);
}

LRESULT TCustomMemo::CallDefault(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  return CallWindowProcA(defProc_, wnd, msg, wp, lp);
}

LRESULT TCustomMemo::EditMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (RefusesChange(msg)) return 0;
  if (msg == WM_DESTROY) WindowDestroying(wnd);
  if (msg != WM_GETDLGCODE) return CallDefault(wnd, msg, wp, lp);
  LRESULT code = CallDefault(wnd, msg, wp, lp);
  code = wantTabs_ ? (code | DLGC_WANTTAB) : (code & ~DLGC_WANTTAB);
  if (!wantReturns_) code &= ~DLGC_WANTALLKEYS;
  return code;
}

void TCustomMemo::Perform(UINT msg, WPARAM wp, LPARAM lp) {
  if (HandleAllocated()) SendMessageA(Handle(), msg, wp, lp);
}

void TCustomMemo::CommandNotify(WORD code) {
  if (code == EN_CHANGE) Change();
}

void TCustomMemo::Change() {
  if (OnChange) OnChange(this);
}

void TCustomMemo::SetReadOnly(bool value) {
  readOnly_ = value;
  Perform(EM_SETREADONLY, value, 0);
}

void TCustomMemo::SetScrollBars(TScrollStyle value) {
  if (value == scrollBars_) return;
  scrollBars_ = value;
  RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  RecreateWnd();
}

void TCustomMemo::SetHideSelection(bool value) {
  if (value == hideSelection_) return;
  hideSelection_ = value;
  RecreateWnd();
}

void TCustomMemo::SetMaxLength(int32_t value) {
  maxLength_ = value;
  if (HandleAllocated()) ApplyMaxLength();
}

void TCustomMemo::ApplyMaxLength() { SendMessageA(Handle(), EM_LIMITTEXT, maxLength_, 0); }

bool TCustomMemo::Modified() { return HandleAllocated() && SendMessageA(Handle(), EM_GETMODIFY, 0, 0) != 0; }

void TCustomMemo::SetModified(bool value) { SendMessageA(Handle(), EM_SETMODIFY, value, 0); }

std::string TCustomMemo::Text() {
  std::string text(GetWindowTextLengthA(Handle()) + 1, '\0');
  text.resize(GetWindowTextA(Handle(), text.data(), static_cast<int>(text.size())));
  return text;
}

void TCustomMemo::SetText(const std::string& value) { SetWindowTextA(Handle(), value.c_str()); }

void TCustomMemo::Clear() { SetText(""); }

void TCustomMemo::SelectAll() { SendMessageA(Handle(), EM_SETSEL, 0, -1); }

int32_t TCustomMemo::SelStart() {
  DWORD start = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  return static_cast<int32_t>(start);
}

void TCustomMemo::SetSelStart(int32_t value) { SendMessageA(Handle(), EM_SETSEL, value, value); }

int32_t TCustomMemo::SelLength() {
  DWORD start = 0, end = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int32_t>(end - start);
}

void TCustomMemo::SetSelLength(int32_t value) {
  const int32_t start = SelStart();
  SendMessageA(Handle(), EM_SETSEL, start, start + value);
}

std::string TCustomMemo::SelText() {
  const int32_t start = SelStart();
  return Text().substr(start, SelLength());
}

void TCustomMemo::SetSelText(const std::string& value) {
  SendOwnChange(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(value.c_str()));
}

LRESULT TCustomMemo::SendOwnChange(UINT msg, WPARAM wp, LPARAM lp) {
  const bool outer = std::exchange(ownChange_, true);
  const TScopeGuard restore([&] { ownChange_ = outer; });
  return SendMessageA(Handle(), msg, wp, lp);
}

// The read-only style keeps typing out, but not every one of these messages, whoever sends
// them: Wine's rich edit, read-only, still clears and replaces the selection.
bool TCustomMemo::RefusesChange(UINT msg) const {
  if (!readOnly_ || ownChange_) return false;
  switch (msg) {
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case EM_REPLACESEL:
    case EM_REDO: return true;
  }
  return false;
}

POINT TCustomMemo::CaretPos() {
  const int32_t start = SelStart();
  POINT p;
  p.y = static_cast<LONG>(SendMessageA(Handle(), EM_LINEFROMCHAR, start, 0));
  p.x = start - static_cast<LONG>(SendMessageA(Handle(), EM_LINEINDEX, p.y, 0));
  return p;
}

}  // namespace orv
