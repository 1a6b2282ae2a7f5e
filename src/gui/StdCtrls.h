#pragma once
// The standard controls: label (windowless), push button, image (windowless), group box and
// drop-down list.
#include <windows.h>

#include "base/StringList.h"
#include "gui/Controls.h"
#include "gui/Pictures.h"

namespace orv {

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// Text drawn by its parent. Labels take no place in the tab order.
class TLabel : public TGraphicControl {
  ORV_CLASSINFO(TLabel)

public:
  explicit TLabel(TComponent* owner) : TGraphicControl(owner) {}
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  // A transparent label draws only its text: what lies under it shows around the letters.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);

protected:
  void Paint() override;

private:
  bool wordWrap_ = false;
  bool transparent_ = false;
  TAlignment alignment_ = TAlignment::taLeftJustify;
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

// A windowless picture: the graphic of Picture at its corner, or stretched to fill it; or a
// borrowed icon, centred.
class TImage : public TGraphicControl {
  ORV_CLASSINFO(TImage)

public:
  explicit TImage(TComponent* owner);
  TPicture& Picture() { return picture_; }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  // The icon is borrowed (a shared system or resource icon).
  HICON Icon() const { return icon_; }
  void SetIcon(HICON icon);

protected:
  void Paint() override;

private:
  TPicture picture_;
  bool stretch_ = false;
  HICON icon_ = nullptr;
};

// A frame with a caption around other controls.
class TGroupBox : public TWinControl {
  ORV_CLASSINFO(TGroupBox)

public:
  explicit TGroupBox(TComponent* owner) : TWinControl(owner) {}

protected:
  void CreateParams(TCreateParams& params) override;
  void PaintWindow(HDC dc) override;
  void CaptionChanged() override { Invalidate(); }
  bool TakesFocus() const override { return false; }
};

enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList };

// The system's combo box. Style csDropDownList (the default) only picks from Items.
class TComboBox : public TWinControl {
  ORV_CLASSINFO(TComboBox)

public:
  explicit TComboBox(TComponent* owner);

  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle value) { style_ = value; }
  TStrings& Items() { return items_; }
  // -1 when nothing is picked.
  int32_t ItemIndex() const;
  void SetItemIndex(int32_t value);
  // How many entries the open list shows without scrolling.
  int32_t DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int32_t value);

  // Raised when the user picks an entry; not when the program sets ItemIndex.
  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& params) override;
  void AfterCreateHandle() override;
  void BoundsChanged() override;
  void CommandNotify(WORD code) override;

private:
  void LoadItems();
  void ApplyDropDownHeight();

  TComboBoxStyle style_ = TComboBoxStyle::csDropDownList;
  TStringList items_;
  int32_t itemIndex_ = -1;
  int32_t dropDownCount_ = 8;
};

}  // namespace orv
