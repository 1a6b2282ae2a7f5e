#include <windows.h>
#include <objbase.h>

#include "gui/Forms.h"

#include <algorithm>

#include "base/Exceptions.h"
#include "base/Filer.h"
#include "base/Streams.h"
#include "gui/OSError.h"
#include "gui/StdCtrls.h"
#include "gui/WinCompat.h"

namespace orv {

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

// Posted to the application window: bring the right form forward once activation settles.
constexpr UINT kBringToFront = WM_APP + 0x100;
constexpr UINT kTrayNotify = WM_USER + 1;

template <typename F>
class TScopeExit {
public:
  explicit TScopeExit(F f) : f_(std::move(f)) {}
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;
  ~TScopeExit() { f_(); }

private:
  F f_;
};

void RegisterClassOnce(const char* name, WNDPROC proc) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = name;
  if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    RaiseLastOSError(std::string("Cannot register window class ") + name);
}

std::string ModuleBaseName() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s = path;
  s = s.substr(s.find_last_of("\\/") + 1);
  return s.substr(0, s.rfind('.'));
}

const std::vector<std::string> kBorderStyleNames = {"bsNone",   "bsSingle",     "bsSizeable",
                                                     "bsDialog", "bsToolWindow", "bsSizeToolWin"};
const std::vector<std::string> kBorderIconNames = {"biSystemMenu", "biMinimize", "biMaximize"};
const std::vector<std::string> kFormStyleNames = {"fsNormal", "fsStayOnTop"};
const std::vector<std::string> kPositionNames = {"poDesigned", "poDefault", "poScreenCenter", "poMainFormCenter"};

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
          .Event("OnCreate", &TForm::OnCreate)
          .Event("OnDestroy", &TForm::OnDestroy)
          .Event("OnShow", &TForm::OnShow)
          .Event("OnHide", &TForm::OnHide)
          .Event("OnCloseQuery", &TForm::OnCloseQuery)
          .Info();
  return info;
}

const TClassInfo& TApplication::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TApplication>("TApplication", &TComponent::StaticClassInfo()).Info();
  return info;
}

const TClassInfo& TScreen::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TScreen>("TScreen", &TComponent::StaticClassInfo()).Info();
  return info;
}

TForm::TForm(TComponent* owner) : TWinControl(owner) {
  SetVisible(false);
  SetBounds(0, 0, 320, 240);
  if (Screen) Screen->forms_.push_back(this);
}

TForm::~TForm() {
  DoDestroy();
  if (Screen) {
    auto& fs = Screen->forms_;
    fs.erase(std::remove(fs.begin(), fs.end(), this), fs.end());
    if (Screen->activeForm_ == this) Screen->activeForm_ = nullptr;
  }
  if (Application && Application->mainForm_ == this) Application->mainForm_ = nullptr;
}

bool TForm::ReadDefinition() {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC info = FindResourceA(module, ClassName().c_str(), MAKEINTRESOURCEA(10));
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

void TForm::DoDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  if (OnDestroy) OnDestroy(this);
}

void TForm::CreateParams(TCreateParams& params) {
  params.WndParent = Application ? Application->Handle() : nullptr;
  params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  const bool dialog = borderStyle_ == TFormBorderStyle::bsDialog;
  const bool tool = borderStyle_ == TFormBorderStyle::bsToolWindow ||
                    borderStyle_ == TFormBorderStyle::bsSizeToolWin;
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
        SetBounds(main->Left() + (main->Width() - Width()) / 2, main->Top() + (main->Height() - Height()) / 2,
                  Width(), Height());
      break;
    default: break;
  }
}

void TForm::Show() {
  SetVisible(true);
  if (HandleAllocated()) SetForegroundWindow(Handle());
}

void TForm::Hide() { SetVisible(false); }

void TForm::VisibleChanged() {
  if (HasState(csLoading)) return;
  if (Visible()) {
    ApplyPosition();
    HWND wnd = Handle();
    SetWindowPos(wnd, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(wnd, SW_SHOWNORMAL);
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
  TScopeExit end([&] {
    others.Restore();
    Hide();
    modal_ = false;
    if (activeBefore && IsWindow(activeBefore)) SetActiveWindow(activeBefore);
  });
  Show();
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
  return modalResult_;
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
    case VK_TAB:
      FocusNext(GetKeyState(VK_SHIFT) < 0);
      return true;
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

// ---- TUtilWindow

TUtilWindow::TUtilWindow(Handler handler) : handler_(std::move(handler)) {
  RegisterClassOnce("TPUtilWindow", Proc);
  HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW, "TPUtilWindow", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  if (!wnd) RaiseLastOSError("Cannot create a helper window");
  SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  wnd_.Reset(wnd);
}

LRESULT CALLBACK TUtilWindow::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<TUtilWindow*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
  if (!self || !self->handler_) return DefWindowProcA(wnd, msg, wp, lp);
  try {
    return self->handler_(wnd, msg, wp, lp);
  } catch (...) {
    if (Application) Application->KeepException(std::current_exception());
    return 0;
  }
}

// ---- TApplication

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
  RegisterClassOnce("TApplication", AppWndProc);
  // Zero-sized: the window is only there to carry the taskbar button.
  HWND wnd = CreateWindowExA(0, "TApplication", ModuleBaseName().c_str(),
                             WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                             GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!wnd) RaiseLastOSError("Cannot create the application window");
  SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  handle_.Reset(wnd);
}

TApplication::~TApplication() {
  FreeForms();
  handle_.Reset();
  if (comInitialized_) CoUninitialize();
}

void TApplication::FreeForms() {
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* f = dynamic_cast<TForm*>(Components(i))) f->DoDestroy();
  while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
}

void TApplication::Initialize() {
  if (!comInitialized_) comInitialized_ = SUCCEEDED(wincompat::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

std::string TApplication::Title() const {
  char buf[256] = {};
  GetWindowTextA(Handle(), buf, sizeof buf);
  return buf;
}

void TApplication::SetTitle(const std::string& value) { SetWindowTextA(Handle(), value.c_str()); }

void TApplication::Run() {
  if (mainForm_) mainForm_->Show();
  while (!terminated_) {
    try {
      HandleMessage();
    } catch (const std::exception& e) {
      HandleException(e);
    }
  }
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return false;
  }
  bool used = false;
  if (msg.message == WM_KEYDOWN) {
    if (auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(wincompat::GetAncestor(msg.hwnd, GA_ROOT))))
      used = form->DialogKey(msg.wParam);
  }
  if (!used) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return true;
}

void TApplication::HandleMessage() {
  MSG msg;
  if (GetMessageA(&msg, nullptr, 0, 0) == -1) return;
  ProcessMessage(msg);
  RaisePending();
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!ProcessMessage(msg)) break;
    RaisePending();
  }
}

void TApplication::Terminate() { PostQuitMessage(0); }

void TApplication::KeepException(std::exception_ptr e) {
  if (!pending_) pending_ = e;
}

void TApplication::RaisePending() {
  if (pending_) std::rethrow_exception(std::exchange(pending_, nullptr));
}

void TApplication::HandleException(const std::exception& e) {
  if (OnException) {
    OnException(e);
    return;
  }
  MessageBoxA(mainForm_ && mainForm_->HandleAllocated() ? mainForm_->Handle() : Handle(), e.what(),
              Title().c_str(), MB_OK | MB_ICONERROR);
}

void TApplication::Minimize() {
  ShowOwnedPopups(Handle(), FALSE);
  ShowWindow(Handle(), SW_MINIMIZE);
}

void TApplication::Restore() {
  if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
  ShowOwnedPopups(Handle(), TRUE);
  BringToFront();
}

void TApplication::BringToFront() {
  HWND target = GetLastActivePopup(Handle());
  if (target == Handle() || !IsWindowVisible(target) || !IsWindowEnabled(target))
    target = mainForm_ && mainForm_->Visible() ? mainForm_->Handle() : nullptr;
  if (target) SetForegroundWindow(target);
}

LRESULT CALLBACK TApplication::AppWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<TApplication*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(wnd, msg, wp, lp);
  try {
    return self->WndProc(msg, wp, lp);
  } catch (...) {
    self->KeepException(std::current_exception());
    return 0;
  }
}

LRESULT TApplication::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  HWND wnd = Handle();
  switch (msg) {
    case WM_SYSCOMMAND:
      switch (wp & 0xFFF0) {
        case SC_MINIMIZE: Minimize(); return 0;
        case SC_RESTORE: Restore(); return 0;
        case SC_CLOSE:
          if (mainForm_) mainForm_->Close();
          return 0;
      }
      break;
    case WM_CLOSE:
      if (mainForm_) mainForm_->Close();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE && !IsIconic(wnd)) PostMessageA(wnd, kBringToFront, 0, 0);
      return 0;
    case kBringToFront: BringToFront(); return 0;
    case kTrayNotify:
      if (lp == WM_LBUTTONDBLCLK) Restore();
      return 0;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

// ---- TScreen

TScreen::TScreen(TComponent* owner) : TComponent(owner) {
  TWindowDC dc(nullptr);
  pixelsPerInch_ = GetDeviceCaps(dc.Get(), LOGPIXELSY);
  auto sys = [](LPCSTR id) { return LoadCursorA(nullptr, id); };
  cursors_[crDefault] = sys(reinterpret_cast<LPCSTR>(IDC_ARROW));
  cursors_[crArrow] = sys(reinterpret_cast<LPCSTR>(IDC_ARROW));
  cursors_[crCross] = sys(reinterpret_cast<LPCSTR>(IDC_CROSS));
  cursors_[crIBeam] = sys(reinterpret_cast<LPCSTR>(IDC_IBEAM));
  cursors_[crHourGlass] = sys(reinterpret_cast<LPCSTR>(IDC_WAIT));
  cursors_[crNo] = sys(reinterpret_cast<LPCSTR>(IDC_NO));
  cursors_[crHandPoint] = sys(reinterpret_cast<LPCSTR>(IDC_HAND));
}

HCURSOR TScreen::Cursors(int id) const {
  auto it = cursors_.find(id);
  if (it != cursors_.end() && it->second) return it->second;
  return cursors_.at(crDefault);
}

void TScreen::SetCursors(int id, HCURSOR cursor) { cursors_[id] = cursor; }

void InitializeForms() {
  for (const TClassInfo* c : {&TForm::StaticClassInfo(), &TLabel::StaticClassInfo(), &TButton::StaticClassInfo(),
                              &TImage::StaticClassInfo()})
    RegisterClass(*c);
  Screen = new TScreen(nullptr);
  Application = new TApplication(nullptr);
}

void FinalizeForms() {
  for (const TClassInfo* c : {&TForm::StaticClassInfo(), &TLabel::StaticClassInfo(), &TButton::StaticClassInfo(),
                              &TImage::StaticClassInfo()})
    UnRegisterClass(*c);
  delete Application;
  Application = nullptr;
  delete Screen;
  Screen = nullptr;
}

}  // namespace orv
