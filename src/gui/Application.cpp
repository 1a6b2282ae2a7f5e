#include <windows.h>
#include <objbase.h>

#include "gui/Application.h"

#include "gui/Forms.h"
#include "gui/HintWindow.h"
#include "win/OSError.h"
#include "win/WinCompat.h"
#include "win/WinText.h"
#include "gui/WindowNames.h"

namespace orv {

TApplication* Application = nullptr;

namespace {

// Posted to the application window: bring the right form forward once activation settles.
constexpr UINT kBringToFront = WM_APP + 0x100;
constexpr UINT_PTR kHintShowTimer = 1;
constexpr UINT_PTR kHintHideTimer = 2;

std::string ModuleBaseName() {
  std::string s = ProgramFileName();
  s = s.substr(s.find_last_of("\\/") + 1);
  return s.substr(0, s.rfind('.'));
}

}  // namespace

const TClassInfo& TApplication::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TApplication>("TApplication", &TComponent::StaticClassInfo()).Info();
  return info;
}

// ---- TUtilWindow

TUtilWindow::TUtilWindow(Handler handler) : handler_(std::move(handler)) {
  RegisterObjectClass({kUtilWindowClassName});
  wnd_.Reset(CreateObjectWindow(this, {kUtilWindowClassName, "", WS_POPUP, WS_EX_TOOLWINDOW}));
}

TUtilWindow::~TUtilWindow() { wnd_.Reset(); }

LRESULT TUtilWindow::WindowMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  return handler_ ? handler_(wnd, msg, wp, lp) : DefWindowProcA(wnd, msg, wp, lp);
}

// ---- TApplication

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
  RegisterObjectClass({kApplicationClassName});
  // Zero-sized: the window is only there to carry the taskbar button.
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
  handle_.Reset(CreateObjectWindow(
      this, {kApplicationClassName, ModuleBaseName(),
             WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, 0, RECT{x, y, x, y}}));
}

TApplication::~TApplication() {
  DestroyForms();
  hintWindow_.reset();
  handle_.Reset();
  if (comInitialized_) CoUninitialize();
}

void TApplication::DestroyForms() {
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
    } catch (...) {
      HandleCurrentException();
    }
  }
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return false;
  }
  HintInputMessage(msg);
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
  RaiseWindowException();
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!ProcessMessage(msg)) break;
    RaiseWindowException();
  }
}

void TApplication::Terminate() { PostQuitMessage(0); }

void TApplication::HandleException(const std::exception& e) {
  if (OnException) {
    OnException(e);
    return;
  }
  MessageBoxA(mainForm_ && mainForm_->HandleAllocated() ? mainForm_->Handle() : Handle(), e.what(), Title().c_str(),
              MB_OK | MB_ICONERROR);
}

void TApplication::HandleCurrentException() {
  try {
    throw;
  } catch (const std::exception& e) {
    HandleException(e);
  } catch (...) {
    HandleException(Exception("An unknown error occurred."));
  }
}

// ---- Hints

void TApplication::HintInputMessage(const MSG& msg) {
  switch (msg.message) {
    case WM_MOUSEMOVE: {
      TWinControl* win = TWinControl::FromHandle(msg.hwnd);
      TControl* over = win;
      if (win) {
        POINT p{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
        if (TControl* c = win->ControlAtPos(p)) over = c;
      }
      HintMouseMessage(over);
      break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: CancelHint(); break;
  }
}

void TApplication::HintMouseMessage(TControl* control) {
  const std::string text = control && control->ShowHint() ? control->Hint() : std::string();
  if (control == hintControl_ && text == hintText_) return;
  hintControl_ = control;
  ScheduleHint(text);
}

// A text that changes under the pointer counts as a new hint.
void TApplication::HintTextChanged(TControl* control) {
  if (control == hintControl_) ScheduleHint(control->ShowHint() ? control->Hint() : std::string());
}

void TApplication::ScheduleHint(const std::string& text) {
  const bool showing = hintWindow_ && hintWindow_->Visible();
  CancelHint();
  hintText_ = text;
  if (!text.empty()) SetTimer(Handle(), kHintShowTimer, showing ? HintShortPause : HintPause, nullptr);
}

void TApplication::ControlDestroyed(TControl* control) {
  if (control != hintControl_) return;
  CancelHint();
  hintControl_ = nullptr;
  hintText_.clear();
}

void TApplication::CancelHint() {
  KillTimer(Handle(), kHintShowTimer);
  KillTimer(Handle(), kHintHideTimer);
  if (hintWindow_) hintWindow_->ReleaseHandle();
}

std::string TApplication::ShownHint() const {
  return hintWindow_ && hintWindow_->Visible() ? hintText_ : std::string();
}

void TApplication::HintTimer(UINT_PTR id) {
  KillTimer(Handle(), id);
  if (id == kHintHideTimer || !hintControl_ || hintText_.empty()) {
    CancelHint();
    return;
  }
  if (!hintWindow_) hintWindow_ = std::make_unique<THintWindow>();
  POINT at;
  GetCursorPos(&at);
  at.y += GetSystemMetrics(SM_CYCURSOR) * 3 / 4;
  hintWindow_->ActivateHint(at, hintText_);
  SetTimer(Handle(), kHintHideTimer, HintHidePause, nullptr);
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

LRESULT TApplication::WindowMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
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
    case WM_TIMER: HintTimer(wp); return 0;
    case kRestoreMessage:
      if (lp == kRestoreParam) Restore();
      return 0;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace orv
