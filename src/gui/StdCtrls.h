#pragma once
// The standard controls: label, push button, and an image that shows an icon.
#include <windows.h>

#include "gui/Controls.h"

namespace orv {

class TLabel : public TWinControl {
  ORV_CLASSINFO(TLabel)

public:
  explicit TLabel(TComponent* owner) : TWinControl(owner) {}
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);

protected:
  void CreateParams(TCreateParams& params) override;
  bool TakesFocus() const override { return false; }

private:
  bool wordWrap_ = false;
};

class TButton : public TWinControl {
  ORV_CLASSINFO(TButton)

public:
  explicit TButton(TComponent* owner);

  // Enter presses the default button, Escape the cancel button.
  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  // Pressing the button sets its form's modal result to this, when it is not mrNone.
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }

  void Click() override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CommandNotify(WORD code) override;

private:
  bool default_ = false;
  bool cancel_ = false;
  TModalResult modalResult_ = mrNone;
};

class TImage : public TWinControl {
  ORV_CLASSINFO(TImage)

public:
  explicit TImage(TComponent* owner) : TWinControl(owner) {}
  // The icon is borrowed (a shared system or resource icon).
  HICON Icon() const { return icon_; }
  void SetIcon(HICON icon);

protected:
  void CreateParams(TCreateParams& params) override;
  void AfterCreateHandle() override;
  bool TakesFocus() const override { return false; }

private:
  HICON icon_ = nullptr;
};

}  // namespace orv
