#include <windows.h>

#include "gui/StdCtrls.h"

#include "gui/Forms.h"

namespace orv {

const TClassInfo& TLabel::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TLabel>("TLabel", &TWinControl::StaticClassInfo())
                                     .Boolean("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap, false)
                                     .Info();
  return info;
}

const TClassInfo& TButton::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TButton>("TButton", &TWinControl::StaticClassInfo())
                                     .Boolean("Cancel", &TButton::Cancel, &TButton::SetCancel, false)
                                     .Boolean("Default", &TButton::Default, &TButton::SetDefault, false)
                                     .Integer("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, 0)
                                     .Info();
  return info;
}

const TClassInfo& TImage::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TImage>("TImage", &TWinControl::StaticClassInfo()).Info();
  return info;
}

void TLabel::SetWordWrap(bool value) {
  wordWrap_ = value;
  if (HandleAllocated()) {
    LONG style = GetWindowLongA(Handle(), GWL_STYLE) & ~(SS_TYPEMASK);
    SetWindowLongA(Handle(), GWL_STYLE, style | (value ? SS_LEFT : SS_LEFTNOWORDWRAP));
    InvalidateRect(Handle(), nullptr, TRUE);
  }
}

void TLabel::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.WinClassName = "STATIC";
  params.Style |= SS_NOPREFIX | (wordWrap_ ? SS_LEFT : SS_LEFTNOWORDWRAP);
  if (UseRightToLeftReading()) params.ExStyle |= WS_EX_RTLREADING;
}

TButton::TButton(TComponent* owner) : TWinControl(owner) { SetTabStop(true); }

void TButton::SetDefault(bool value) {
  default_ = value;
  if (HandleAllocated())
    SendMessageA(Handle(), BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.WinClassName = "BUTTON";
  params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::CommandNotify(WORD code) {
  if (code == BN_CLICKED) Click();
}

void TButton::Click() {
  if (modalResult_ != mrNone)
    if (TForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  TWinControl::Click();
}

void TImage::SetIcon(HICON icon) {
  icon_ = icon;
  if (HandleAllocated()) SendMessageA(Handle(), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

void TImage::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.WinClassName = "STATIC";
  params.Style |= SS_ICON | SS_CENTERIMAGE;
}

void TImage::AfterCreateHandle() {
  if (icon_) SendMessageA(Handle(), STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
}

}  // namespace orv
