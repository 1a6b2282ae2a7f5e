#pragma once
// An image list component over the system's image list (comctl32), for controls that show
// small pictures beside their items. The component owns its list.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "base/Component.h"
#include "win/Handles.h"

namespace orv {

class TCustomImageList : public TComponent {
  ORV_CLASSINFO(TCustomImageList)

public:
  explicit TCustomImageList(TComponent* owner);
  ~TCustomImageList() override;

  // The size of every image; changing it empties the list.
  int32_t Width() const { return width_; }
  void SetWidth(int32_t value);
  int32_t Height() const { return height_; }
  void SetHeight(int32_t value);

  // Made on first use; stays the same until the size changes.
  HIMAGELIST Handle();
  int Count() const { return list_ ? ImageList_GetImageCount(list_.Get()) : 0; }
  // A copy of the icon goes into the list; its index, or -1 when it could not be added.
  int AddIcon(HICON icon);
  void Clear();

private:
  int32_t width_ = 16;
  int32_t height_ = 16;
  TOwnedImageList list_;
};

}  // namespace orv
