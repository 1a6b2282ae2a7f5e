#include <windows.h>

#include "gui/ImgList.h"

#include "win/OSError.h"

namespace orv {

const TClassInfo& TCustomImageList::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TCustomImageList>("TCustomImageList", &TComponent::StaticClassInfo())
                                     .Integer("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth, 16)
                                     .Integer("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight, 16)
                                     .Info();
  return info;
}

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}

TCustomImageList::~TCustomImageList() = default;

void TCustomImageList::SetWidth(int32_t value) {
  if (value == width_) return;
  width_ = value;
  list_.Reset();
}

void TCustomImageList::SetHeight(int32_t value) {
  if (value == height_) return;
  height_ = value;
  list_.Reset();
}

HIMAGELIST TCustomImageList::Handle() {
  if (!list_) {
    list_.Reset(ImageList_Create(width_, height_, ILC_COLOR24 | ILC_MASK, 4, 4));
    if (!list_) RaiseLastOSError("Cannot create an image list");
  }
  return list_.Get();
}

int TCustomImageList::AddIcon(HICON icon) { return ImageList_ReplaceIcon(Handle(), -1, icon); }

void TCustomImageList::Clear() {
  if (list_) ImageList_RemoveAll(list_.Get());
}

}  // namespace orv
