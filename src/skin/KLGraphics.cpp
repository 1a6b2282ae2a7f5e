#include <windows.h>

#include "skin/KLGraphics.h"

namespace orv {

const TClassInfo& TKLBitmap::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TKLBitmap>("TKLBitmap", &TBitmap::StaticClassInfo()).Info();
  return info;
}

}  // namespace orv
