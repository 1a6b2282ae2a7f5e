#include <windows.h>

#include "gui/StdCtrls.h"

#include <utility>

#include "gui/Forms.h"

namespace orv {

namespace {
const std::vector<std::string> kAlignmentNames = {"taLeftJustify", "taRightJustify", "taCenter"};
const std::vector<std::string> kComboStyleNames = {"csDropDown", "csSimple", "csDropDownList"};

void FillSolid(HDC dc, const RECT& r, TColor color) {
  TOwnedGdiObject brush(CreateSolidBrush(ColorToRGB(color)));
  FillRect(dc, &r, static_cast<HBRUSH>(brush.Get()));
}
}  // namespace

const TClassInfo& TLabel::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TLabel>("TLabel", &TGraphicControl::StaticClassInfo())
                                     .Enum("Alignment", &TLabel::Alignment, &TLabel::SetAlignment, kAlignmentNames, 0)
                                     .Boolean("Transparent", &TLabel::Transparent, &TLabel::SetTransparent, false)
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
  static const TClassInfo info = TClassBuilder<TImage>("TImage", &TGraphicControl::StaticClassInfo())
                                     .Object("Picture", &TImage::Picture)
                                     .Boolean("Stretch", &TImage::Stretch, &TImage::SetStretch, false)
                                     .Info();
  return info;
}

const TClassInfo& TGroupBox::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TGroupBox>("TGroupBox", &TWinControl::StaticClassInfo()).Info();
  return info;
}

const TClassInfo& TComboBox::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TComboBox>("TComboBox", &TWinControl::StaticClassInfo())
          .Enum("Style", &TComboBox::Style, &TComboBox::SetStyle, kComboStyleNames, 2)
          .Object("Items", &TComboBox::Items)
          .Integer("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex, -1)
          .Integer("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount, 8)
          .Event("OnChange", &TComboBox::OnChange)
          .Info();
  return info;
}

// ---- TLabel

void TLabel::SetWordWrap(bool value) {
  wordWrap_ = value;
  Invalidate();
}

void TLabel::SetTransparent(bool value) {
  transparent_ = value;
  Invalidate();
}

void TLabel::SetAlignment(TAlignment value) {
  alignment_ = value;
  Invalidate();
}

void TLabel::Paint() {
  HDC dc = Canvas().Handle();
  RECT r{0, 0, Width(), Height()};
  if (!transparent_) FillSolid(dc, r, Color());
  TSelectObject font(dc, Font().Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, Enabled() ? Font().Color() : GetSysColor(COLOR_GRAYTEXT));
  UINT format = DT_EXPANDTABS | DT_NOPREFIX | (wordWrap_ ? DT_WORDBREAK : 0);
  if (alignment_ == TAlignment::taCenter) format |= DT_CENTER;
  if (alignment_ == TAlignment::taRightJustify) format |= DT_RIGHT;
  if (UseRightToLeftReading()) format |= DT_RTLREADING;
  DrawTextA(dc, Caption().c_str(), -1, &r, format);
}

// ---- TButton

TButton::TButton(TComponent* owner) : TWinControl(owner) { SetTabStop(true); }

void TButton::SetDefault(bool value) {
  default_ = value;
  if (HandleAllocated()) SendMessageA(Handle(), BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
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

// ---- TImage

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 105, 105);
  picture_.OnChange = [this](TPicture*) { Invalidate(); };
}

void TImage::SetStretch(bool value) {
  stretch_ = value;
  Invalidate();
}

void TImage::SetIcon(HICON icon) {
  icon_ = icon;
  Invalidate();
}

void TImage::Paint() {
  if (TGraphic* g = picture_.Graphic(); g && !g->Empty()) {
    if (stretch_)
      Canvas().StretchDraw(TRect{0, 0, Width(), Height()}, *g);
    else
      Canvas().Draw(0, 0, *g);
    return;
  }
  if (!icon_) return;
  const int w = GetSystemMetrics(SM_CXICON), h = GetSystemMetrics(SM_CYICON);
  DrawIconEx(Canvas().Handle(), (Width() - w) / 2, (Height() - h) / 2, icon_, 0, 0, 0, nullptr, DI_NORMAL);
}

// ---- TGroupBox

void TGroupBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN;
  params.ExStyle |= WS_EX_CONTROLPARENT;
}

// An etched frame whose top edge runs through the middle of the caption.
void TGroupBox::PaintWindow(HDC dc) {
  TSelectObject font(dc, Font().Handle());
  TEXTMETRICA tm;
  GetTextMetricsA(dc, &tm);
  RECT frame{0, tm.tmHeight / 2, Width(), Height()};
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  if (Caption().empty()) return;
  RECT text{8, 0, Width() - 8, tm.tmHeight};
  DrawTextA(dc, Caption().c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  text.left -= 2;
  text.right += 2;
  FillSolid(dc, text, Color());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, Enabled() ? Font().Color() : GetSysColor(COLOR_GRAYTEXT));
  DrawTextA(dc, Caption().c_str(), -1, &text, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// ---- TComboBox

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
  SetTabStop(true);
  SetBounds(0, 0, 145, 21);
  items_.OnChange = [this](TObject*) { LoadItems(); };
}

void TComboBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.WinClassName = "COMBOBOX";
  params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL;
  switch (style_) {
    case TComboBoxStyle::csDropDown: params.Style |= CBS_DROPDOWN; break;
    case TComboBoxStyle::csSimple: params.Style |= CBS_SIMPLE; break;
    case TComboBoxStyle::csDropDownList: params.Style |= CBS_DROPDOWNLIST; break;
  }
}

void TComboBox::AfterCreateHandle() {
  LoadItems();
  ApplyDropDownHeight();
}

void TComboBox::LoadItems() {
  if (!HandleAllocated()) return;
  SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
  for (int i = 0; i < items_.Count(); ++i)
    SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items_.Get(i).c_str()));
  SendMessageA(Handle(), CB_SETCURSEL, itemIndex_, 0);
}

int32_t TComboBox::ItemIndex() const {
  if (!HandleAllocated()) return itemIndex_;
  return static_cast<int32_t>(SendMessageA(const_cast<TComboBox*>(this)->Handle(), CB_GETCURSEL, 0, 0));
}

void TComboBox::SetItemIndex(int32_t value) {
  itemIndex_ = value;
  if (HandleAllocated()) SendMessageA(Handle(), CB_SETCURSEL, value, 0);
}

void TComboBox::SetDropDownCount(int32_t value) {
  dropDownCount_ = value;
  ApplyDropDownHeight();
}

void TComboBox::BoundsChanged() { ApplyDropDownHeight(); }

// A drop-down combo box's window height is the height of its closed part plus its open list.
void TComboBox::ApplyDropDownHeight() {
  if (!HandleAllocated()) return;
  const int item = static_cast<int>(SendMessageA(Handle(), CB_GETITEMHEIGHT, 0, 0));
  const int list = style_ == TComboBoxStyle::csSimple ? 0 : item * dropDownCount_ + 2;
  SetWindowPos(Handle(), nullptr, Left(), Top(), Width(), Height() + list, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TComboBox::CommandNotify(WORD code) {
  if (code != CBN_SELCHANGE) return;
  itemIndex_ = ItemIndex();
  if (OnChange) OnChange(this);
}

}  // namespace orv
