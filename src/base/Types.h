#pragma once
// Small value types shared by portable code.
#include <cstdint>

namespace orv {

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Half-open: a point is inside when Left <= X < Right and Top <= Y < Bottom.
struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  friend bool operator==(const TRect&, const TRect&) = default;
};

}  // namespace orv
