#include <windows.h>

#include "gui/Controls.h"

#include <algorithm>
#include <utility>

#include "base/Exceptions.h"
#include "gui/Forms.h"
#include "gui/OSError.h"

namespace orv {

namespace {
const std::vector<std::string> kBiDiModeNames = {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign",
                                                  "bdRightToLeftReadingOnly"};
}  // namespace

const TClassInfo& TControl::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TControl>("TControl", &TComponent::StaticClassInfo())
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
                                     .Event("OnClick", &TControl::OnClick)
                                     .Info();
  return info;
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
  if (parent_) parent_->RemoveControl(this);
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

TWinControl* TWinControl::FromHandle(HWND wnd) {
  return dynamic_cast<TWinControl*>(WindowObject(wnd));
}

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
  control->parent_ = this;
  auto* win = dynamic_cast<TWinControl*>(control);
  if (win && handle_) win->CreateHandle();
}

void TWinControl::RemoveControl(TControl* control) {
  if (auto* win = dynamic_cast<TWinControl*>(control)) win->DestroyHandle();
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  control->parent_ = nullptr;
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

void TWinControl::CollectTabStops(std::vector<TWinControl*>& out) const {
  for (TWinControl* c : TabList()) {
    if (c->TabStop() && c->CanFocus()) out.push_back(c);
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
  HWND wnd = CreateObjectWindow(this, {own ? ClassName() : params.WinClassName, Caption(), params.Style,
                                       params.ExStyle, BoundsRect(), params.WndParent, id});
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

LRESULT TWinControl::DefaultHandler(UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcA(handle_, msg, wp, lp);
}

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
  if (handle_)
    SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::VisibleChanged() {
  if (handle_) ShowWindow(handle_, Visible() ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::EnabledChanged() {
  if (handle_) EnableWindow(handle_, Enabled());
}

void TWinControl::CaptionChanged() {
  if (handle_) SetWindowTextA(handle_, Caption().c_str());
}

}  // namespace orv
