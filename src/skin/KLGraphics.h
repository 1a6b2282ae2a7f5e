#pragma once
// The skin engine's work bitmap and its rectangle utilities (skin/KLRects.h).
#include <windows.h>

#include "gui/Bitmaps.h"
#include "skin/KLRects.h"

namespace orv {

// The skin engine makes every bitmap of its own as a TKLBitmap; it behaves as TBitmap.
class TKLBitmap : public TBitmap {
  ORV_CLASSINFO(TKLBitmap)
};

}  // namespace orv
