#include "skin/KLRects.h"

#include <algorithm>

namespace orv {

namespace {
// The difference of two edges without overflow: edges far apart give a large width, not a
// negative one.
int64_t Span(int32_t from, int32_t to) { return int64_t{to} - from; }
// Wraps around as 32-bit arithmetic does, without the undefined overflow of signed addition.
int32_t Shift(int32_t edge, int32_t by) {
  return static_cast<int32_t>(static_cast<uint32_t>(edge) + static_cast<uint32_t>(by));
}
}  // namespace

TRect RectIntersection(const TRect& A, const TRect& B) {
  const TRect r{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
                std::min(A.Bottom, B.Bottom)};
  if (Span(r.Left, r.Right) <= 0 || Span(r.Top, r.Bottom) <= 0) return TRect{};
  return r;
}

TRect RectOffset(const TRect& R, int32_t DX, int32_t DY) {
  return TRect{Shift(R.Left, DX), Shift(R.Top, DY), Shift(R.Right, DX), Shift(R.Bottom, DY)};
}

bool RectIsEmpty(const TRect& R) { return Span(R.Left, R.Right) < 1 || Span(R.Top, R.Bottom) < 1; }

bool RectContains(const TRect& R, const TPoint& P) {
  return R.Left <= P.X && P.X < R.Right && R.Top <= P.Y && P.Y < R.Bottom;
}

int32_t RectWidth(const TRect& R) {
  return static_cast<int32_t>(std::clamp<int64_t>(Span(R.Left, R.Right), 0, INT32_MAX));
}

int32_t RectHeight(const TRect& R) {
  return static_cast<int32_t>(std::clamp<int64_t>(Span(R.Top, R.Bottom), 0, INT32_MAX));
}

}  // namespace orv
