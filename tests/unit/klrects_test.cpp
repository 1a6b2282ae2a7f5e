// Rectangle utilities: right and bottom edges lie outside.
#include <gtest/gtest.h>

#include <climits>

#include "skin/KLRects.h"

using namespace orv;

TEST(KLRects, IntersectionIsTheCommonPartOrAllZero) {
  EXPECT_EQ(RectIntersection({0, 0, 10, 10}, {5, 3, 20, 8}), (TRect{5, 3, 10, 8}));
  EXPECT_EQ(RectIntersection({5, 3, 20, 8}, {0, 0, 10, 10}), (TRect{5, 3, 10, 8}));
  // Touching edges share no pixel; disjoint rectangles and a one-sided overlap give zeros.
  EXPECT_EQ(RectIntersection({0, 0, 10, 10}, {10, 0, 20, 10}), TRect{});
  EXPECT_EQ(RectIntersection({0, 0, 10, 10}, {0, 10, 10, 20}), TRect{});
  EXPECT_EQ(RectIntersection({0, 0, 10, 10}, {20, 20, 30, 30}), TRect{});
  EXPECT_EQ(RectIntersection({0, 0, 10, 10}, {2, 20, 4, 30}), TRect{});
  EXPECT_EQ(RectIntersection({0, 0, 10, 10}, {9, 9, 11, 11}), (TRect{9, 9, 10, 10}));
  EXPECT_EQ(RectIntersection({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {-5, -5, 5, 5}), (TRect{-5, -5, 5, 5}));
}

TEST(KLRects, EmptinessAndSizeOfNormalAndInvertedRectangles) {
  EXPECT_FALSE(RectIsEmpty({0, 0, 1, 1}));
  EXPECT_TRUE(RectIsEmpty({0, 0, 0, 5}));
  EXPECT_TRUE(RectIsEmpty({0, 0, 5, 0}));
  EXPECT_TRUE(RectIsEmpty({5, 5, 2, 9}));
  EXPECT_EQ(RectWidth({3, 0, 10, 0}), 7);
  EXPECT_EQ(RectHeight({0, 3, 0, 10}), 7);
  EXPECT_EQ(RectWidth({10, 0, 3, 0}), 0);
  EXPECT_EQ(RectHeight({0, 10, 0, 3}), 0);
  // Far-apart edges: a wide rectangle, not an overflowed negative one.
  EXPECT_FALSE(RectIsEmpty({INT_MIN, INT_MIN, INT_MAX, INT_MAX}));
  EXPECT_EQ(RectWidth({INT_MIN, 0, INT_MAX, 0}), INT_MAX);
  EXPECT_TRUE(RectIsEmpty({INT_MAX, 0, INT_MIN, 1}));
}

TEST(KLRects, ContainsIncludesLeftAndTopOnly) {
  const TRect r{10, 20, 30, 40};
  EXPECT_TRUE(RectContains(r, {10, 20}));
  EXPECT_TRUE(RectContains(r, {29, 39}));
  EXPECT_FALSE(RectContains(r, {30, 39}));
  EXPECT_FALSE(RectContains(r, {29, 40}));
  EXPECT_FALSE(RectContains(r, {9, 25}));
  EXPECT_FALSE(RectContains(r, {15, 19}));
  EXPECT_FALSE(RectContains({5, 5, 5, 9}, {5, 6}));
}

TEST(KLRects, OffsetMovesAllEdges) {
  EXPECT_EQ(RectOffset({1, 2, 3, 4}, 10, -20), (TRect{11, -18, 13, -16}));
  EXPECT_EQ(RectOffset({1, 2, 3, 4}, 0, 0), (TRect{1, 2, 3, 4}));
  EXPECT_EQ(RectOffset({INT_MAX, 0, INT_MAX, 0}, 1, 0).Left, INT_MIN);
}
