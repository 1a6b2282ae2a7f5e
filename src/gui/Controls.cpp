#include <windows.h>

#include "gui/Controls.h"

#include <algorithm>
#include <utility>

#include "base/Exceptions.h"
#include "base/ScopeGuard.h"
#include "gui/Forms.h"

namespace orv {

namespace {
TControl* gCaptureControl = nullptr;
// The control the pointer was last seen over (for enter and leave).
TControl* gMouseControl = nullptr;

uint8_t ShiftState(WPARAM keys) {
  uint8_t s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  return s;
}

UINT_PTR gLeaveTimer = 0;
void CALLBACK WatchMouseLeave(HWND, UINT, UINT_PTR, DWORD);

// Moves the enter/leave state to Control (null: the pointer left every control). While the
// pointer is over a control, a timer watches for it leaving: TrackMouseEvent is missing on
// Windows 95, and a leave must also be seen when the pointer goes to another program.
void TrackMouseControl(TControl* control) {
  if (control == gMouseControl) return;
  TControl* old = std::exchange(gMouseControl, control);
  if (control && !gLeaveTimer) gLeaveTimer = SetTimer(nullptr, 0, 100, WatchMouseLeave);
  if (!control && gLeaveTimer) KillTimer(nullptr, std::exchange(gLeaveTimer, 0));
  if (old) old->MouseLeave();
  if (control) control->MouseEnter();
}

// Whether the pointer is still over the mouse control: inside its window, or for a windowless
// control, inside its parent's window and its bounds.
bool PointerOverMouseControl() {
  POINT p;
  GetCursorPos(&p);
  auto* win = dynamic_cast<TWinControl*>(gMouseControl);
  TWinControl* host = win ? win : gMouseControl->Parent();
  if (!host || !host->HandleAllocated() || WindowFromPoint(p) != host->Handle()) return false;
  if (win) return true;
  const POINT own = gMouseControl->ScreenToClient(p);
  return own.x >= 0 && own.y >= 0 && own.x < gMouseControl->Width() && own.y < gMouseControl->Height();
}

void CALLBACK WatchMouseLeave(HWND, UINT, UINT_PTR, DWORD) {
  if (!gMouseControl || gCaptureControl || PointerOverMouseControl()) return;
  try {
    TrackMouseControl(nullptr);
    POINT p;
    GetCursorPos(&p);
    // Over another program's window no control of ours is under the pointer: no hint.
    if (Application && GetWindowThreadProcessId(WindowFromPoint(p), nullptr) != GetCurrentThreadId())
      Application->HintMouseMessage(nullptr);
  } catch (...) {
    KeepWindowException(std::current_exception());
  }
}

const std::vector<std::string> kBiDiModeNames = {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign",
                                                 "bdRightToLeftReadingOnly"};
}  // namespace

const TClassInfo& TControl::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TControl>("TControl", &TComponent::StaticClassInfo())
          .Integer("Left", &TControl::Left, &TControl::SetLeft)
          .Integer("Top", &TControl::Top, &TControl::SetTop)
          .Integer("Width", &TControl::Width, &TControl::SetWidth)
          .Integer("Height", &TControl::Height, &TControl::SetHeight)
          .Enum("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode, kBiDiModeNames, 0)
          .String("Caption", &TControl::Caption, &TControl::SetCaption)
          .Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled, true)
          .Object("Font", &TControl::Font)
          .Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true)
          .Boolean("Visible", &TControl::Visible, &TControl::SetVisible, true)
          .Integer("Color", &TControl::Color, &TControl::SetColor, clBtnFace, &ColorIdents())
          .Integer("Cursor", &TControl::Cursor, &TControl::SetCursor, 0)
          .String("Hint", &TControl::Hint, &TControl::SetHint)
          .Boolean("ShowHint", &TControl::ShowHint, &TControl::SetShowHint, false)
          .Boolean("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint, true)
          .Event("OnClick", &TControl::OnClick)
          .Event("OnMouseDown", &TControl::OnMouseDown)
          .Event("OnMouseMove", &TControl::OnMouseMove)
          .Event("OnMouseUp", &TControl::OnMouseUp)
          .Event("OnMouseEnter", &TControl::OnMouseEnter)
          .Event("OnMouseLeave", &TControl::OnMouseLeave)
          .Info();
  return info;
}

const TClassInfo& TGraphicControl::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TGraphicControl>("TGraphicControl", &TControl::StaticClassInfo()).Info();
  return info;
}

TControl* CaptureControl() { return gCaptureControl; }

// The system's capture goes to the window that carries the control's mouse messages.
void SetCaptureControl(TControl* control) {
  gCaptureControl = control;
  if (!control) {
    if (GetCapture()) ReleaseCapture();
    return;
  }
  auto* win = dynamic_cast<TWinControl*>(control);
  if (!win) win = control->Parent();
  if (win && win->HandleAllocated()) ::SetCapture(win->Handle());
}

const TClassInfo& TWinControl::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TWinControl>("TWinControl", &TControl::StaticClassInfo())
                                     .Integer("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
                                     .Boolean("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop)
                                     .Info();
  return info;
}

TControl::TControl(TComponent* owner) : TComponent(owner) {
  font_.OnChange = [this](TFont*) {
    if (!takingParentFont_) parentFont_ = false;
    FontChanged();
  };
}

TControl::~TControl() {
  if (gCaptureControl == this) SetCaptureControl(nullptr);
  if (gMouseControl == this) {
    gMouseControl = nullptr;
    if (gLeaveTimer) KillTimer(nullptr, std::exchange(gLeaveTimer, 0));
  }
  if (Application) Application->ControlDestroyed(this);
  if (parent_) parent_->RemoveControl(this);
}

void TControl::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  ColorChanged();
}

void TControl::SetHint(const std::string& value) {
  if (value == hint_) return;
  hint_ = value;
  if (Application) Application->HintTextChanged(this);
}

bool TControl::ShowHint() const {
  if (parentShowHint_ && parent_) return parent_->ShowHint();
  return showHint_;
}

void TControl::SetShowHint(bool value) {
  showHint_ = value;
  parentShowHint_ = false;
}

POINT TControl::ClientToScreen(POINT p) const {
  if (!parent_) return p;
  p.x += left_;
  p.y += top_;
  return parent_->ClientToScreen(p);
}

POINT TControl::ScreenToClient(POINT p) const {
  const POINT origin = ClientToScreen(POINT{0, 0});
  return POINT{p.x - origin.x, p.y - origin.y};
}

void TControl::MouseDown(TMouseButton button, uint8_t shift, int32_t x, int32_t y) {
  if (button == TMouseButton::mbLeft) pressed_ = true;
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(uint8_t shift, int32_t x, int32_t y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

// A left press and release on the control is a click.
void TControl::MouseUp(TMouseButton button, uint8_t shift, int32_t x, int32_t y) {
  const bool click =
      button == TMouseButton::mbLeft && std::exchange(pressed_, false) && x >= 0 && y >= 0 && x < width_ && y < height_;
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
  if (click) Click();
}

void TControl::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent_) parent_->RemoveControl(this);
  if (parent) {
    parent->InsertControl(this);
    TakeParentFont();
  }
}

void TControl::TakeParentFont() {
  if (!parentFont_ || !parent_) return;
  takingParentFont_ = true;
  font_.Assign(&parent_->Font());
  takingParentFont_ = false;
}

void TControl::SetParentFont(bool value) {
  parentFont_ = value;
  TakeParentFont();
}

void TControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  BoundsChanged();
}

void TControl::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  VisibleChanged();
}

void TControl::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  EnabledChanged();
}

void TControl::SetCaption(const std::string& value) {
  if (value == caption_) return;
  caption_ = value;
  CaptionChanged();
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::SetParentComponent(TComponent* parent) { SetParent(dynamic_cast<TWinControl*>(parent)); }

void TControl::Click() {
  if (OnClick) OnClick(this);
}

// ---- TGraphicControl

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

TGraphicControl::~TGraphicControl() {
  InvalidateArea();
  ReleaseCanvas();
}

void TGraphicControl::Invalidate() {
  if (!Parent() || !Parent()->HandleAllocated() || !Visible()) return;
  const RECT r = BoundsRect();
  InvalidateRect(Parent()->Handle(), &r, TRUE);
}

void TGraphicControl::Repaint() {
  Invalidate();
  if (Parent() && Parent()->HandleAllocated()) UpdateWindow(Parent()->Handle());
}

// The old place shows what is under it again; the new one shows the control.
void TGraphicControl::InvalidateArea() {
  if (Parent() && Parent()->HandleAllocated()) InvalidateRect(Parent()->Handle(), &shownBounds_, TRUE);
  shownBounds_ = BoundsRect();
  Invalidate();
}

void TGraphicControl::BoundsChanged() { InvalidateArea(); }

TCanvas& TGraphicControl::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>();
  if (canvas_->HandleAllocated()) return *canvas_;
  if (!Parent()) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  canvasDC_ = TWindowDC(Parent()->Handle());
  SetViewportOrgEx(canvasDC_.Get(), Left(), Top(), nullptr);
  IntersectClipRect(canvasDC_.Get(), 0, 0, Width(), Height());
  canvas_->SetHandle(canvasDC_.Get());
  canvas_->Font().Assign(&Font());
  return *canvas_;
}

void TGraphicControl::ReleaseCanvas() {
  if (canvas_) canvas_->SetHandle(nullptr);
  canvasDC_.Reset();
}

// Dc's origin is at the control's corner and its clip is the control's bounds.
void TGraphicControl::PaintTo(HDC dc) {
  ReleaseCanvas();
  shownBounds_ = BoundsRect();
  if (!canvas_) canvas_ = std::make_unique<TCanvas>();
  canvas_->SetHandle(dc);
  canvas_->Font().Assign(&Font());
  TScopeGuard done([&] { canvas_->SetHandle(nullptr); });
  Paint();
}

// ---- TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  DestroyHandle();
  for (TControl* c : controls_) c->parent_ = nullptr;
  controls_.clear();
}

HWND TWinControl::Handle() {
  if (!handle_) CreateHandle();
  return handle_;
}

void TWinControl::RecreateWnd() {
  if (!handle_) return;
  DestroyHandle();
  if (Parent() && Parent()->HandleAllocated()) CreateHandle();
}

TWinControl* TWinControl::FromHandle(HWND wnd) { return dynamic_cast<TWinControl*>(WindowObject(wnd)); }

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
  control->parent_ = this;
  auto* win = dynamic_cast<TWinControl*>(control);
  if (win && handle_) win->CreateHandle();
  if (!win) control->Invalidate();
}

void TWinControl::RemoveControl(TControl* control) {
  if (auto* win = dynamic_cast<TWinControl*>(control)) win->DestroyHandle();
  if (auto* g = dynamic_cast<TGraphicControl*>(control)) {
    g->Invalidate();
    g->ReleaseCanvas();
  }
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  control->parent_ = nullptr;
}

TControl* TWinControl::ControlAtPos(POINT p) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    auto* g = dynamic_cast<TGraphicControl*>(*it);
    const RECT r = (*it)->BoundsRect();
    if (g && g->Visible() && g->Enabled() && PtInRect(&r, p)) return g;
  }
  return nullptr;
}

POINT TWinControl::ClientToScreen(POINT p) const {
  if (!handle_) return TControl::ClientToScreen(p);
  ::ClientToScreen(handle_, &p);
  return p;
}

void TWinControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Repaint() {
  if (!handle_) return;
  RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TWinControl::EraseBackground(HDC dc, const RECT& rect) {
  TOwnedGdiObject brush(CreateSolidBrush(ColorToRGB(Color())));
  FillRect(dc, &rect, static_cast<HBRUSH>(brush.Get()));
}

// Windowless children in z-order (the order of the control list), each clipped to its bounds
// and drawn with its corner as the origin.
void TWinControl::PaintControls(HDC dc) {
  for (TControl* c : std::vector<TControl*>(controls_)) {
    auto* g = dynamic_cast<TGraphicControl*>(c);
    if (!g || !g->Visible()) continue;
    const RECT r = g->BoundsRect();
    if (!RectVisible(dc, &r)) continue;
    TSavedDC saved(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    OffsetViewportOrgEx(dc, r.left, r.top, nullptr);
    g->PaintTo(dc);
  }
}

void TWinControl::WMPaint() {
  painting_ = true;
  TPaintDC dc(handle_);
  painting_ = false;
  PaintWindow(dc.Get());
  PaintControls(dc.Get());
}

// The control under the pointer gets the message in its own coordinates; a control that holds
// the capture gets them all. True when a windowless control took it.
bool TWinControl::MouseMessage(UINT msg, WPARAM wp, LPARAM lp) {
  POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  TControl* target = gCaptureControl;
  if (!target || (target != this && target->Parent() != this)) target = ControlAtPos(p);
  if (!target) target = this;
  if (msg == WM_MOUSEMOVE) {
    TControl* over = ControlAtPos(p);
    TrackMouseControl(over ? over : this);
  }
  if (target != this) {
    p.x -= target->Left();
    p.y -= target->Top();
  }
  const uint8_t shift = ShiftState(wp);
  auto button = [&] {
    if (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP || msg == WM_RBUTTONDBLCLK) return TMouseButton::mbRight;
    if (msg == WM_MBUTTONDOWN || msg == WM_MBUTTONUP || msg == WM_MBUTTONDBLCLK) return TMouseButton::mbMiddle;
    return TMouseButton::mbLeft;
  }();
  switch (msg) {
    case WM_MOUSEMOVE: target->MouseMove(shift, p.x, p.y); break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (target != this && !gCaptureControl) SetCaptureControl(target);
      target->MouseDown(button, shift, p.x, p.y);
      break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: target->MouseDown(button, shift | ssDouble, p.x, p.y); break;
    default:
      if (gCaptureControl == target && target != this && !(wp & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)))
        SetCaptureControl(nullptr);
      target->MouseUp(button, shift, p.x, p.y);
      break;
  }
  return target != this;
}

// The cursor of the control under the pointer, when it has one of its own.
bool TWinControl::SetControlCursor(HWND under) {
  TControl* c = gCaptureControl;
  if (!c && under == handle_) {
    POINT p;
    GetCursorPos(&p);
    ::ScreenToClient(handle_, &p);
    c = ControlAtPos(p);
    if (!c) c = this;
  }
  if (!c && under != handle_) c = FromHandle(under);
  int32_t id = Screen && Screen->Cursor() != crDefault ? Screen->Cursor() : (c ? c->Cursor() : crDefault);
  if (id == crDefault) return false;
  ::SetCursor(Screen->Cursors(id));
  return true;
}

std::vector<TWinControl*> TWinControl::WinControls() const {
  std::vector<TWinControl*> list;
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c)) list.push_back(w);
  return list;
}

std::vector<TWinControl*> TWinControl::TabList() const {
  std::vector<TWinControl*> list;
  for (TWinControl* w : WinControls())
    if (w->TakesFocus()) list.push_back(w);
  return list;
}

// Containers that never take the focus themselves (panels, group boxes, pages) still hold
// controls that do.
void TWinControl::CollectTabStops(std::vector<TWinControl*>& out) const {
  for (TWinControl* c : WinControls()) {
    if (c->TakesFocus() && c->TabStop() && c->CanFocus()) out.push_back(c);
    c->CollectTabStops(out);
  }
}

int TWinControl::TabOrder() const {
  if (!Parent() || !TakesFocus()) return -1;
  auto list = Parent()->TabList();
  return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int value) {
  TWinControl* p = Parent();
  if (!TakesFocus()) return;
  if (!p) {
    pendingTabOrder_ = value;
    return;
  }
  auto& cs = p->controls_;
  cs.erase(std::remove(cs.begin(), cs.end(), this), cs.end());
  // Other controls keep their places; this one goes before the Value-th one in the tab order.
  auto pos = cs.begin();
  for (int seen = 0; pos != cs.end(); ++pos) {
    auto* w = dynamic_cast<TWinControl*>(*pos);
    if (w && w->TakesFocus() && seen++ == value) break;
  }
  cs.insert(pos, this);
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  for (TControl* c : std::vector<TControl*>(controls_))
    if (c->Owner() == root) proc(c);
}

void TWinControl::Loaded() {
  TControl::Loaded();
  if (pendingTabOrder_ >= 0 && Parent()) SetTabOrder(std::exchange(pendingTabOrder_, -1));
}

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

void TWinControl::SetFocus() {
  if (CanFocus()) ::SetFocus(Handle());
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (Visible()) params.Style |= WS_VISIBLE;
  if (!Enabled()) params.Style |= WS_DISABLED;
  if (tabStop_) params.Style |= WS_TABSTOP;
  if (Parent()) params.WndParent = Parent()->Handle();
}

void TWinControl::CreateHandle() {
  if (handle_) return;
  // Making the parent's window makes this one too, as one of its children.
  if (Parent()) Parent()->Handle();
  if (handle_) return;
  TCreateParams params;
  CreateParams(params);
  const bool own = params.WinClassName.empty();
  if (own) RegisterObjectClass({ClassName(), CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)});
  static int nextId = 100;
  HMENU id = (params.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId++)) : nullptr;
  HWND wnd = CreateObjectWindow(this, {own ? ClassName() : params.WinClassName, Caption(), params.Style, params.ExStyle,
                                       BoundsRect(), params.WndParent, id});
  handle_ = wnd;
  SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
  AfterCreateHandle();
  for (TWinControl* child : WinControls()) child->CreateHandle();
}

void TWinControl::ForgetHandle() {
  for (TWinControl* child : WinControls()) child->ForgetHandle();
  DetachWindowObject(handle_);
  handle_ = nullptr;
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  HWND wnd = handle_;
  // The system destroys the child windows with their parent.
  ForgetHandle();
  DestroyWindow(wnd);
}

LRESULT TWinControl::DefaultHandler(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcA(handle_, msg, wp, lp); }

LRESULT TWinControl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (lp) {
        ChildCommand(reinterpret_cast<HWND>(lp), HIWORD(wp));
        return 0;
      }
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lp);
      LRESULT result = 0;
      TWinControl* child = header ? FromHandle(header->hwndFrom) : nullptr;
      if (child && child != this && child->NotifyReceived(*header, result)) return result;
      break;
    }
    case WM_PAINT: WMPaint(); return 0;
    case WM_ERASEBKGND: {
      // A DC handed over by a child (not our own BeginPaint) also gets the windowless
      // children, so that the child can show what lies under it.
      HDC dc = reinterpret_cast<HDC>(wp);
      RECT r;
      GetClientRect(handle_, &r);
      EraseBackground(dc, r);
      if (!painting_) PaintControls(dc);
      return 1;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      if (MouseMessage(msg, wp, lp)) return 0;
      break;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lp) != handle_ && gCaptureControl &&
          (gCaptureControl == this || gCaptureControl->Parent() == this))
        gCaptureControl = nullptr;
      break;
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT && SetControlCursor(reinterpret_cast<HWND>(wp))) return TRUE;
      break;
    case WM_NCDESTROY: {
      HWND wnd = handle_;
      ForgetHandle();
      return DefWindowProcA(wnd, msg, wp, lp);
    }
  }
  return DefaultHandler(msg, wp, lp);
}

void TWinControl::ChildCommand(HWND child, WORD code) {
  if (TWinControl* c = FromHandle(child)) c->CommandNotify(code);
}

void TWinControl::FontChanged() {
  if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
  for (TControl* c : controls_) c->TakeParentFont();
}

void TWinControl::BoundsChanged() {
  if (handle_) SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::VisibleChanged() {
  if (handle_) ShowWindow(handle_, Visible() ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::EnabledChanged() {
  if (handle_) EnableWindow(handle_, Enabled());
  for (TControl* c : controls_)
    if (auto* g = dynamic_cast<TGraphicControl*>(c)) g->Invalidate();
}

void TWinControl::CaptionChanged() {
  if (handle_) SetWindowTextA(handle_, Caption().c_str());
}

}  // namespace orv
