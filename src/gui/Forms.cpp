#include <windows.h>
#include <commctrl.h>

#include "gui/Forms.h"

#include <algorithm>

#include "base/Exceptions.h"
#include "base/Filer.h"
#include "base/ScopeGuard.h"
#include "base/Streams.h"
#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Pictures.h"
#include "gui/StdCtrls.h"

namespace orv {

namespace {

const std::vector<std::string> kBorderStyleNames = {"bsNone",   "bsSingle",     "bsSizeable",
                                                    "bsDialog", "bsToolWindow", "bsSizeToolWin"};
const std::vector<std::string> kBorderIconNames = {"biSystemMenu", "biMinimize", "biMaximize"};
const std::vector<std::string> kFormStyleNames = {"fsNormal", "fsStayOnTop"};
const std::vector<std::string> kPositionNames = {"poDesigned", "poDefault", "poScreenCenter", "poMainFormCenter"};
const std::vector<std::string> kWindowStateNames = {"wsNormal", "wsMinimized", "wsMaximized"};

}  // namespace

// ---- TForm

const TClassInfo& TForm::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TForm>("TForm", &TWinControl::StaticClassInfo())
          .Enum("BorderStyle", &TForm::BorderStyle, &TForm::SetBorderStyle, kBorderStyleNames, 2)
          .Set("BorderIcons", &TForm::BorderIcons, &TForm::SetBorderIcons, kBorderIconNames, 7)
          .Enum("FormStyle", &TForm::FormStyle, &TForm::SetFormStyle, kFormStyleNames, 0)
          .Enum("Position", &TForm::Position, &TForm::SetPosition, kPositionNames, 0)
          .Integer("ClientWidth", &TForm::ClientWidth, &TForm::SetClientWidth)
          .Integer("ClientHeight", &TForm::ClientHeight, &TForm::SetClientHeight)
          .Enum("WindowState", &TForm::WindowState, &TForm::SetWindowState, kWindowStateNames, 0)
          .Event("OnCreate", &TForm::OnCreate)
          .Event("OnDestroy", &TForm::OnDestroy)
          .Event("OnShow", &TForm::OnShow)
          .Event("OnHide", &TForm::OnHide)
          .Event("OnCloseQuery", &TForm::OnCloseQuery)
          .Info();
  return info;
}

TForm::TForm(TComponent* owner) : TWinControl(owner) {
  SetVisible(false);
  SetBounds(0, 0, 320, 240);
  if (Screen) Screen->AddForm(this);
}

TForm::~TForm() {
  DoDestroy();
  if (Screen) Screen->RemoveForm(this);
  if (Application && Application->mainForm_ == this) Application->mainForm_ = nullptr;
}

bool TForm::ReadDefinition() {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC info = FindResourceA(module, ClassName().c_str(), RT_RCDATA);
  if (!info) return false;
  HGLOBAL data = LoadResource(module, info);
  const void* bytes = data ? LockResource(data) : nullptr;
  if (!bytes) throw EResNotFound("Resource " + ClassName() + " cannot be loaded");
  TMemoryStream stream;
  stream.WriteBuffer(bytes, SizeofResource(module, info));
  stream.SetPosition(0);
  ReadRootComponent(stream, this);
  return true;
}

void TForm::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  TComponent::GetChildren(proc, root);
  TWinControl::GetChildren(proc, root);
}

void TForm::Loaded() {
  TWinControl::Loaded();
  if (Visible()) VisibleChanged();
}

void TForm::SetBorderStyle(TFormBorderStyle value) {
  // A definition gives the client size; it must survive the border read after it.
  const bool keepClient = HasState(csLoading);
  const int32_t cw = keepClient ? ClientWidth() : 0, ch = keepClient ? ClientHeight() : 0;
  borderStyle_ = value;
  if (keepClient) {
    SetClientWidth(cw);
    SetClientHeight(ch);
  }
}

void TForm::AfterConstruction() {
  if (OnCreate) OnCreate(this);
}

void TForm::DoDestroy() noexcept {
  if (destroyed_) return;
  destroyed_ = true;
  try {
    if (OnDestroy) OnDestroy(this);
  } catch (...) {
    try {
      if (Application) Application->HandleCurrentException();
    } catch (...) {
      // The report itself failed; a form going away has nobody else to tell.
    }
  }
}

void TForm::CreateParams(TCreateParams& params) {
  params.WndParent = Application ? Application->Handle() : nullptr;
  params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  const bool dialog = borderStyle_ == TFormBorderStyle::bsDialog;
  const bool tool = borderStyle_ == TFormBorderStyle::bsToolWindow || borderStyle_ == TFormBorderStyle::bsSizeToolWin;
  switch (borderStyle_) {
    case TFormBorderStyle::bsNone: params.Style |= WS_POPUP; break;
    case TFormBorderStyle::bsSingle:
    case TFormBorderStyle::bsToolWindow: params.Style |= WS_CAPTION; break;
    case TFormBorderStyle::bsSizeable:
    case TFormBorderStyle::bsSizeToolWin: params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case TFormBorderStyle::bsDialog:
      params.Style |= WS_POPUP | WS_CAPTION | DS_MODALFRAME;
      params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
  }
  if (borderStyle_ != TFormBorderStyle::bsNone) {
    if (borderIcons_ & biSystemMenu) params.Style |= WS_SYSMENU;
    if (!dialog && !tool) {
      if (borderIcons_ & biMinimize) params.Style |= WS_MINIMIZEBOX;
      if (borderIcons_ & biMaximize) params.Style |= WS_MAXIMIZEBOX;
    }
  }
  if (tool) params.ExStyle |= WS_EX_TOOLWINDOW;
  if (formStyle_ == TFormStyle::fsStayOnTop) params.ExStyle |= WS_EX_TOPMOST;
  if (!Enabled()) params.Style |= WS_DISABLED;
}

void TForm::AfterCreateHandle() {
  if (icon_) SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
}

RECT TForm::FrameDelta() const {
  TCreateParams params;
  const_cast<TForm*>(this)->CreateParams(params);
  RECT r{0, 0, 0, 0};
  AdjustWindowRectEx(&r, params.Style, FALSE, params.ExStyle);
  return r;
}

int32_t TForm::ClientWidth() {
  if (HandleAllocated()) {
    RECT r;
    GetClientRect(Handle(), &r);
    return r.right;
  }
  RECT d = FrameDelta();
  return Width() - (d.right - d.left);
}

int32_t TForm::ClientHeight() {
  if (HandleAllocated()) {
    RECT r;
    GetClientRect(Handle(), &r);
    return r.bottom;
  }
  RECT d = FrameDelta();
  return Height() - (d.bottom - d.top);
}

void TForm::SetClientWidth(int32_t value) {
  RECT d = FrameDelta();
  SetWidth(value + (d.right - d.left));
}

void TForm::SetClientHeight(int32_t value) {
  RECT d = FrameDelta();
  SetHeight(value + (d.bottom - d.top));
}

TCanvas& TForm::Canvas() {
  if (!canvas_) {
    canvas_ = std::make_unique<TCanvas>();
    canvas_->Font().Assign(&Font());
  }
  return *canvas_;
}

void TForm::SetFormStyle(TFormStyle value) {
  formStyle_ = value;
  if (HandleAllocated())
    SetWindowPos(Handle(), value == TFormStyle::fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TForm::SetIcon(HICON icon) {
  icon_ = icon;
  if (HandleAllocated()) SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

void TForm::SetActiveControl(TWinControl* control) {
  activeControl_ = control;
  if (control && HandleAllocated() && GetActiveWindow() == Handle()) control->SetFocus();
}

void TForm::ApplyPosition() {
  switch (position_) {
    case TPosition::poScreenCenter:
      SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2, Width(), Height());
      break;
    case TPosition::poMainFormCenter:
      if (TForm* main = Application->MainForm(); main && main != this)
        SetBounds(main->Left() + (main->Width() - Width()) / 2, main->Top() + (main->Height() - Height()) / 2, Width(),
                  Height());
      break;
    default: break;
  }
}

void TForm::Show() {
  SetVisible(true);
  if (HandleAllocated()) SetForegroundWindow(Handle());
}

void TForm::Hide() { SetVisible(false); }

void TForm::BringToFront() {
  if (!Visible()) return;
  SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(Handle());
}

// The main form is minimised with the application window (see TApplication::Minimize).
bool TForm::MinimizedWithApplication() const {
  return Application && Application->MainForm() == this && IsIconic(Application->Handle());
}

TWindowState TForm::WindowState() {
  if (!HandleAllocated()) return windowState_;
  if (IsIconic(Handle()) || MinimizedWithApplication()) return TWindowState::wsMinimized;
  return IsZoomed(Handle()) ? TWindowState::wsMaximized : TWindowState::wsNormal;
}

void TForm::SetWindowState(TWindowState value) {
  windowState_ = value;
  if (value == TWindowState::wsNormal && MinimizedWithApplication()) Application->Restore();
  if (!HandleAllocated() || !Visible()) return;
  static const int kShow[] = {SW_RESTORE, SW_MINIMIZE, SW_MAXIMIZE};
  ShowWindow(Handle(), kShow[static_cast<int>(value)]);
}

void TForm::VisibleChanged() {
  if (HasState(csLoading)) return;
  if (Visible()) {
    ApplyPosition();
    HWND wnd = Handle();
    SetWindowPos(wnd, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    static const int kShow[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
    ShowWindow(wnd, kShow[static_cast<int>(windowState_)]);
    if (Application && Application->MainForm() == this) ShowWindow(Application->Handle(), SW_SHOWNA);
    if (OnShow) OnShow(this);
  } else if (HandleAllocated()) {
    if (OnHide) OnHide(this);
    ShowWindow(Handle(), SW_HIDE);
  }
}

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  if (Application && Application->MainForm() == this)
    Application->Terminate();
  else
    Hide();
}

TModalResult TForm::ShowModal() {
  if (Visible() || !Enabled() || modal_) throw EInvalidOperation("Cannot make a visible window modal");
  if (GetCapture()) ReleaseCapture();
  HWND activeBefore = GetActiveWindow();
  modal_ = true;
  modalResult_ = mrNone;
  TTaskWindowsDisabler others(Handle());
  try {
    Show();
    RunModalLoop();
  } catch (...) {
    others.Restore();
    try {
      EndModal(activeBefore);
    } catch (...) {
      // The loop's error is the one the caller must see; OnHide's would hide it.
    }
    throw;
  }
  others.Restore();
  EndModal(activeBefore);
  return modalResult_;
}

void TForm::RunModalLoop() {
  for (;;) {
    Application->HandleMessage();
    if (Application->Terminated()) {
      modalResult_ = mrCancel;
      break;
    }
    if (modalResult_ != mrNone) {
      if (CloseQuery()) break;
      modalResult_ = mrNone;
    }
  }
}

// The other windows are enabled again first, so that the system can activate one of them.
void TForm::EndModal(HWND activeBefore) {
  TScopeGuard done([&] {
    modal_ = false;
    if (activeBefore && IsWindow(activeBefore)) SetActiveWindow(activeBefore);
  });
  Hide();
}

void TForm::FocusNext(bool backwards) {
  std::vector<TWinControl*> stops;
  CollectTabStops(stops);
  if (stops.empty()) return;
  auto it = std::find(stops.begin(), stops.end(), FromHandle(GetFocus()));
  size_t i = it == stops.end() ? 0 : static_cast<size_t>(it - stops.begin());
  size_t n = stops.size();
  size_t next = it == stops.end() ? (backwards ? n - 1 : 0) : (backwards ? (i + n - 1) % n : (i + 1) % n);
  activeControl_ = stops[next];
  stops[next]->SetFocus();
}

TButton* TForm::FindButton(bool wantDefault) const {
  std::vector<TWinControl*> all;
  CollectTabStops(all);
  for (TWinControl* c : all)
    if (auto* b = dynamic_cast<TButton*>(c); b && (wantDefault ? b->Default() : b->Cancel())) return b;
  return nullptr;
}

bool TForm::DialogKey(WPARAM key) {
  switch (key) {
    case VK_RETURN: {
      auto* focused = dynamic_cast<TButton*>(FromHandle(GetFocus()));
      TButton* b = focused ? focused : FindButton(true);
      if (!b) return false;
      b->Click();
      return true;
    }
    case VK_ESCAPE:
      if (TButton* b = FindButton(false)) {
        b->Click();
        return true;
      }
      return false;
    case VK_TAB: FocusNext(GetKeyState(VK_SHIFT) < 0); return true;
  }
  return false;
}

void TForm::Activated(bool active) {
  if (!active) {
    if (TWinControl* f = FromHandle(GetFocus()); f && GetParentForm(f) == this) activeControl_ = f;
    return;
  }
  if (Screen) Screen->activeForm_ = this;
  if (activeControl_ && activeControl_->CanFocus()) {
    activeControl_->SetFocus();
    return;
  }
  std::vector<TWinControl*> stops;
  CollectTabStops(stops);
  if (!stops.empty()) {
    activeControl_ = stops.front();
    activeControl_->SetFocus();
  }
}

LRESULT TForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE: Close(); return 0;
    case WM_ACTIVATE: {
      LRESULT r = DefaultHandler(msg, wp, lp);
      if (!HIWORD(wp)) Activated(LOWORD(wp) != WA_INACTIVE);
      return r;
    }
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == SC_MINIMIZE && Application && Application->MainForm() == this) {
        Application->Minimize();
        return 0;
      }
      break;
  }
  return TWinControl::WndProc(msg, wp, lp);
}

TForm* GetParentForm(TControl* control) {
  TControl* top = control;
  while (top && top->Parent()) top = top->Parent();
  return dynamic_cast<TForm*>(top);
}

// ---- TTaskWindowsDisabler

TTaskWindowsDisabler::TTaskWindowsDisabler(HWND keep) : keep_(keep) {
  EnumThreadWindows(GetCurrentThreadId(), DisableProc, reinterpret_cast<LPARAM>(this));
}

BOOL CALLBACK TTaskWindowsDisabler::DisableProc(HWND wnd, LPARAM lp) {
  auto* self = reinterpret_cast<TTaskWindowsDisabler*>(lp);
  if (wnd != self->keep_ && IsWindowVisible(wnd) && IsWindowEnabled(wnd)) {
    EnableWindow(wnd, FALSE);
    self->disabled_.push_back(wnd);
  }
  return TRUE;
}

void TTaskWindowsDisabler::Restore() {
  for (HWND wnd : disabled_)
    if (IsWindow(wnd)) EnableWindow(wnd, TRUE);
  disabled_.clear();
}

namespace {
// The classes that window definitions may name, graphic classes included (a picture names
// the class of its graphic).
std::vector<const TClassInfo*> LayerClasses() {
  return {&TForm::StaticClassInfo(),  &TLabel::StaticClassInfo(),       &TButton::StaticClassInfo(),
          &TImage::StaticClassInfo(), &TGroupBox::StaticClassInfo(),    &TComboBox::StaticClassInfo(),
          &TPanel::StaticClassInfo(), &TBevel::StaticClassInfo(),       &TNotebook::StaticClassInfo(),
          &TPage::StaticClassInfo(),  &TProgressBar::StaticClassInfo(), &TBitmap::StaticClassInfo(),
          &TIcon::StaticClassInfo(),  &TMetafile::StaticClassInfo()};
}
}  // namespace

void InitializeForms() {
  InitCommonControls();
  for (const TClassInfo* c : LayerClasses()) RegisterClass(*c);
  Screen = new TScreen(nullptr);
  Application = new TApplication(nullptr);
}

void FinalizeForms() {
  for (const TClassInfo* c : LayerClasses()) UnRegisterClass(*c);
  delete Application;
  Application = nullptr;
  delete Screen;
  Screen = nullptr;
}

}  // namespace orv
