#include <windows.h>
#include <commctrl.h>

#include "gui/ComboBoxEx.h"

#include <algorithm>

namespace orv {

namespace {
const std::vector<std::string> kStyleNames = {"csExDropDown", "csExSimple", "csExDropDownList"};

void InitExtendedComboClass() {
  static bool done = false;
  if (done) return;
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_USEREX_CLASSES};
  done = InitCommonControlsEx(&icc);
}
}  // namespace

const TClassInfo& TComboExItem::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TComboExItem>("TComboExItem", &TCollectionItem::StaticClassInfo())
          .String("Caption", &TComboExItem::Caption, &TComboExItem::SetCaption)
          .Integer("ImageIndex", &TComboExItem::ImageIndex, &TComboExItem::SetImageIndex, -1)
          .Integer("SelectedImageIndex", &TComboExItem::SelectedImageIndex, &TComboExItem::SetSelectedImageIndex, -1)
          .Integer("Indent", &TComboExItem::Indent, &TComboExItem::SetIndent, 0)
          .Info();
  return info;
}

const TClassInfo& TComboExItems::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TComboExItems>("TComboExItems", &TOwnedCollection::StaticClassInfo()).Info();
  return info;
}

const TClassInfo& TCustomComboBoxEx::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TCustomComboBoxEx>("TCustomComboBoxEx", &TWinControl::StaticClassInfo())
          .Integer("DropDownCount", &TCustomComboBoxEx::DropDownCount, &TCustomComboBoxEx::SetDropDownCount, 8)
          .Component<TCustomImageList>("Images", &TCustomComboBoxEx::Images, &TCustomComboBoxEx::SetImages)
          .Object("ItemsEx", &TCustomComboBoxEx::ItemsEx)
          .Enum("Style", &TCustomComboBoxEx::Style, &TCustomComboBoxEx::SetStyle, kStyleNames, 0)
          .Event("OnChange", &TCustomComboBoxEx::OnChange)
          .Event("OnDropDown", &TCustomComboBoxEx::OnDropDown)
          .Info();
  return info;
}

const TClassInfo& TComboBoxEx::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TComboBoxEx>("TComboBoxEx", &TCustomComboBoxEx::StaticClassInfo()).Info();
  return info;
}

TComboExItem::~TComboExItem() {
  if (auto* items = dynamic_cast<TComboExItems*>(Collection())) items->combo_->ItemRemoved(Index());
}

void TComboExItem::SetCaption(const std::string& value) {
  caption_ = value;
  Changed(false);
}

void TComboExItem::SetImageIndex(int32_t value) {
  imageIndex_ = value;
  Changed(false);
}

void TComboExItem::SetSelectedImageIndex(int32_t value) {
  selectedImageIndex_ = value;
  Changed(false);
}

void TComboExItem::SetIndent(int32_t value) {
  indent_ = value;
  Changed(false);
}

void TComboExItem::Assign(const TPersistent* source) {
  auto* other = dynamic_cast<const TComboExItem*>(source);
  if (!other) {
    TCollectionItem::Assign(source);
    return;
  }
  caption_ = other->caption_;
  imageIndex_ = other->imageIndex_;
  selectedImageIndex_ = other->selectedImageIndex_;
  indent_ = other->indent_;
  data_ = other->data_;
  Changed(false);
}

TComboExItems::TComboExItems(TCustomComboBoxEx* owner)
    : TOwnedCollection(owner, TComboExItem::StaticClassInfo()), combo_(owner) {}

TComboExItem* TComboExItems::AddItem(const std::string& caption, int32_t imageIndex, int32_t selectedImageIndex,
                                     int32_t indent, TObject* data) {
  BeginUpdate();
  TComboExItem* item = Add();
  item->SetCaption(caption);
  item->SetImageIndex(imageIndex);
  item->SetSelectedImageIndex(selectedImageIndex);
  item->SetIndent(indent);
  item->SetData(data);
  EndUpdate();
  return item;
}

void TComboExItems::Update(TCollectionItem* item) { combo_->ItemsChanged(static_cast<TComboExItem*>(item)); }

TCustomComboBoxEx::TCustomComboBoxEx(TComponent* owner) : TWinControl(owner), items_(this) {
  SetTabStop(true);
  SetBounds(0, 0, 145, 22);
}

// The items go while the control is whole: each one tells the control it is leaving.
TCustomComboBoxEx::~TCustomComboBoxEx() {
  items_.Clear();
  SetImages(nullptr);
}

void TCustomComboBoxEx::CreateParams(TCreateParams& params) {
  InitExtendedComboClass();
  TWinControl::CreateParams(params);
  params.WinClassName = WC_COMBOBOXEXA;
  params.Style |= WS_VSCROLL;
  switch (style_) {
    case TComboBoxExStyle::csExDropDown: params.Style |= CBS_DROPDOWN; break;
    case TComboBoxExStyle::csExSimple: params.Style |= CBS_SIMPLE; break;
    case TComboBoxExStyle::csExDropDownList: params.Style |= CBS_DROPDOWNLIST; break;
  }
}

void TCustomComboBoxEx::AfterCreateHandle() {
  AttachImageList(ShownImageList());
  FillWindow();
  BoundsChanged();
}

// A combo box's window height includes its open list; the control's Height is the closed
// box. The extended control keeps its own height to the closed box and hands the rest to
// the combo box inside it.
int32_t TCustomComboBoxEx::WindowHeight() {
  const LRESULT item = SendMessageA(Handle(), CB_GETITEMHEIGHT, 0, 0);
  return Height() + dropDownCount_ * static_cast<int32_t>(item > 0 ? item : 16) + 2;
}

void TCustomComboBoxEx::BoundsChanged() {
  if (!HandleAllocated()) return;
  const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(Handle(), nullptr, Left(), Top(), Width(), WindowHeight(), flags);
  if (HWND inner = reinterpret_cast<HWND>(SendMessageA(Handle(), CBEM_GETCOMBOCONTROL, 0, 0)))
    SetWindowPos(inner, nullptr, 0, 0, Width(), WindowHeight(), flags | SWP_NOMOVE);
}

void TCustomComboBoxEx::SetStyle(TComboBoxExStyle value) {
  if (value == style_) return;
  style_ = value;
  if (HandleAllocated()) {
    TWinControl* parent = Parent();
    DestroyHandle();
    if (parent) CreateHandle();
  }
}

void TCustomComboBoxEx::SetItemIndex(int32_t value) {
  if (value < -1 || value >= items_.Count()) value = -1;
  itemIndex_ = value;
  if (HandleAllocated()) SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(value), 0);
}

void TCustomComboBoxEx::SetDropDownCount(int32_t value) {
  dropDownCount_ = std::max<int32_t>(value, 1);
  BoundsChanged();
}

void TCustomComboBoxEx::SetImages(TCustomImageList* value) {
  if (value == images_) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = value;
  if (images_) images_->FreeNotification(this);
  if (!HasState(csDestroying)) AttachImageList(ShownImageList());
}

void TCustomComboBoxEx::SetImageListHandle(HIMAGELIST value) {
  imageListHandle_ = value;
  AttachImageList(ShownImageList());
}

HIMAGELIST TCustomComboBoxEx::ShownImageList() const { return images_ ? images_->Handle() : imageListHandle_; }

void TCustomComboBoxEx::AttachImageList(HIMAGELIST list) {
  if (!HandleAllocated()) return;
  SendMessageA(Handle(), CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list));
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TCustomComboBoxEx::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == images_) {
    images_ = nullptr;
    AttachImageList(ShownImageList());
  }
}

bool TCustomComboBoxEx::DroppedDown() {
  return HandleAllocated() && SendMessageA(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBoxEx::SetDroppedDown(bool value) { SendMessageA(Handle(), CB_SHOWDROPDOWN, value, 0); }

void TCustomComboBoxEx::Change() {
  if (OnChange) OnChange(this);
}

void TCustomComboBoxEx::CommandNotify(WORD code) {
  if (code == CBN_SELCHANGE) {
    itemIndex_ = static_cast<int32_t>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
    Change();
  } else if (code == CBN_DROPDOWN && OnDropDown) {
    OnDropDown(this);
  }
}

void TCustomComboBoxEx::ItemsChanged(TComboExItem* item) {
  if (!HandleAllocated()) return;
  if (item)
    SetWindowItem(item->Index(), CBEM_SETITEMA);
  else
    FillWindow();
}

void TCustomComboBoxEx::ItemRemoved(int index) {
  if (index == itemIndex_)
    itemIndex_ = -1;
  else if (index < itemIndex_)
    --itemIndex_;
}

void TCustomComboBoxEx::FillWindow() {
  HWND wnd = Handle();
  SendMessageA(wnd, WM_SETREDRAW, FALSE, 0);
  SendMessageA(wnd, CB_RESETCONTENT, 0, 0);
  for (int i = 0; i < items_.Count(); ++i) SetWindowItem(i, CBEM_INSERTITEMA);
  SendMessageA(wnd, CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
  SendMessageA(wnd, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(wnd, nullptr, TRUE);
}

void TCustomComboBoxEx::SetWindowItem(int index, UINT message) {
  const TComboExItem* item = items_.Items(index);
  COMBOBOXEXITEMA cbei{};
  cbei.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_INDENT | CBEIF_LPARAM;
  cbei.iItem = index;
  cbei.pszText = const_cast<char*>(item->Caption().c_str());
  cbei.iImage = item->ImageIndex();
  cbei.iSelectedImage = item->SelectedImageIndex();
  cbei.iIndent = item->Indent();
  cbei.lParam = reinterpret_cast<LPARAM>(item);
  SendMessageA(Handle(), message, 0, reinterpret_cast<LPARAM>(&cbei));
}

}  // namespace orv
