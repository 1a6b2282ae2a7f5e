#pragma once
// Rectangle arithmetic for clipping and hit testing. Rectangles are half-open: Right and
// Bottom lie outside.
#include "base/Types.h"

namespace orv {

// The common part of A and B; (0, 0, 0, 0) when they do not overlap (touching edges included).
TRect RectIntersection(const TRect& A, const TRect& B);
TRect RectOffset(const TRect& R, int32_t DX, int32_t DY);
// True when R holds no point: narrower or lower than one pixel.
bool RectIsEmpty(const TRect& R);
bool RectContains(const TRect& R, const TPoint& P);
// Right - Left, or 0 for a rectangle turned inside out; likewise the height.
int32_t RectWidth(const TRect& R);
int32_t RectHeight(const TRect& R);

}  // namespace orv
