#pragma once
// Shared by the canvas and bitmap tests: a bitmap of a size, filled with one colour.
#include "gui/Bitmaps.h"

namespace guitest {

inline void Fill(orv::TBitmap& b, int32_t w, int32_t h, orv::TColor color) {
  b.SetSize(w, h);
  b.Canvas().Brush().SetColor(color);
  b.Canvas().FillRect({0, 0, w, h});
}

}  // namespace guitest
