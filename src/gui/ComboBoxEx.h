#pragma once
// The extended combo box: the system's ComboBoxEx32 control, whose items carry a picture from
// an image list beside their caption.
//
// The items live in ItemsEx, a collection that window definitions can hold; the control's
// window shows a copy of them, rebuilt when the collection changes (once per update bracket).
// The image list shown is Images when assigned, else a borrowed list handle (for example the
// shell's system image list, which nobody but the system may free).
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

#include "base/Collection.h"
#include "gui/Controls.h"
#include "gui/ImgList.h"

namespace orv {

class TCustomComboBoxEx;

class TComboExItem : public TCollectionItem {
  ORV_CLASSINFO(TComboExItem)

public:
  explicit TComboExItem(TCollection* collection) : TCollectionItem(collection) {}
  ~TComboExItem() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  // -1: no picture.
  int32_t ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int32_t value);
  // The picture while the item is the selected one.
  int32_t SelectedImageIndex() const { return selectedImageIndex_; }
  void SetSelectedImageIndex(int32_t value);
  // In steps of 10 pixels.
  int32_t Indent() const { return indent_; }
  void SetIndent(int32_t value);
  // Borrowed; the item never frees it.
  TObject* Data() const { return data_; }
  void SetData(TObject* value) { data_ = value; }

  std::string DisplayName() const override { return caption_; }
  void Assign(const TPersistent* source) override;

private:
  std::string caption_;
  int32_t imageIndex_ = -1;
  int32_t selectedImageIndex_ = -1;
  int32_t indent_ = 0;
  TObject* data_ = nullptr;
};

class TComboExItems : public TOwnedCollection {
  ORV_CLASSINFO(TComboExItems)

public:
  explicit TComboExItems(TCustomComboBoxEx* owner);

  TComboExItem* Items(int index) const { return static_cast<TComboExItem*>(TCollection::Items(index)); }
  TComboExItem* Add() { return static_cast<TComboExItem*>(TCollection::Add()); }
  TComboExItem* AddItem(const std::string& caption, int32_t imageIndex, int32_t selectedImageIndex, int32_t indent,
                        TObject* data);

protected:
  void Update(TCollectionItem* item) override;

private:
  friend class TComboExItem;
  TCustomComboBoxEx* combo_;
};

enum class TComboBoxExStyle { csExDropDown, csExSimple, csExDropDownList };

class TCustomComboBoxEx : public TWinControl {
  ORV_CLASSINFO(TCustomComboBoxEx)

public:
  explicit TCustomComboBoxEx(TComponent* owner);
  ~TCustomComboBoxEx() override;

  TComboExItems& ItemsEx() { return items_; }
  // Changes to the items while the bracket is open reach the window once, at its end.
  void BeginUpdate() { items_.BeginUpdate(); }
  void EndUpdate() { items_.EndUpdate(); }
  void Clear() { items_.Clear(); }

  TComboBoxExStyle Style() const { return style_; }
  void SetStyle(TComboBoxExStyle value);
  // -1: nothing selected. Setting it raises no change notification, as with the system's.
  int32_t ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int32_t value);
  // Lines the open list shows before it scrolls.
  int32_t DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int32_t value);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  // A list shown when Images is not assigned; borrowed, never freed here (null: none).
  HIMAGELIST ImageListHandle() const { return imageListHandle_; }
  void SetImageListHandle(HIMAGELIST value);
  // The list the window shows now.
  HIMAGELIST ShownImageList() const;
  bool DroppedDown();
  void SetDroppedDown(bool value);

  // A user's pick (and whoever calls Change).
  TNotifyEvent OnChange;
  TNotifyEvent OnDropDown;
  virtual void Change();

  void Notification(TComponent* component, TOperation operation) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void AfterCreateHandle() override;
  void CommandNotify(WORD code) override;
  void BoundsChanged() override;
  // Attaches List to the window, when there is one.
  void AttachImageList(HIMAGELIST list);

private:
  friend class TComboExItems;
  friend class TComboExItem;
  void ItemsChanged(TComboExItem* item);
  void ItemRemoved(int index);
  void FillWindow();
  void SetWindowItem(int index, UINT message);
  int32_t WindowHeight();

  TComboExItems items_;
  TComboBoxExStyle style_ = TComboBoxExStyle::csExDropDown;
  int32_t itemIndex_ = -1;
  int32_t dropDownCount_ = 8;
  TCustomImageList* images_ = nullptr;
  HIMAGELIST imageListHandle_ = nullptr;
};

class TComboBoxEx : public TCustomComboBoxEx {
  ORV_CLASSINFO(TComboBoxEx)

public:
  explicit TComboBoxEx(TComponent* owner) : TCustomComboBoxEx(owner) {}
};

}  // namespace orv
