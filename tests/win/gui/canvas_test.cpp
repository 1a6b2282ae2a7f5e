#include <gtest/gtest.h>

#include "bitmaps_env.h"
#include "gui/Bitmaps.h"
#include "gui/Graphics.h"

using namespace orv;

using guitest::Fill;

TEST(Canvas, RectangleWithDashedPenAndClearBrushLeavesTheInsideAndTheGaps) {
  TBitmap b;
  Fill(b, 40, 20, clWhite);
  TCanvas& c = b.Canvas();
  c.Pen().SetStyle(TPenStyle::psDash);
  c.Pen().SetColor(clRed);
  c.Brush().SetStyle(TBrushStyle::bsClear);
  c.Rectangle({1, 1, 39, 19});
  int red = 0, white = 0;
  for (int x = 1; x < 39; ++x) (c.Pixels(x, 1) == clRed ? red : white) += 1;
  EXPECT_GT(red, 5);
  EXPECT_GT(white, 5) << "dashes without gaps";
  for (int x = 2; x < 38; ++x) EXPECT_EQ(c.Pixels(x, 10), clWhite) << x;

  c.Pen().SetStyle(TPenStyle::psSolid);
  c.Brush().SetStyle(TBrushStyle::bsSolid);
  c.Brush().SetColor(clBlue);
  c.Rectangle({1, 1, 39, 19});
  EXPECT_EQ(c.Pixels(20, 1), clRed);
  EXPECT_EQ(c.Pixels(20, 10), clBlue);
}

TEST(Canvas, FillRectFrameRectAndTextUseBrushAndFont) {
  TBitmap b;
  Fill(b, 60, 30, clWhite);
  TCanvas& c = b.Canvas();
  c.Brush().SetColor(clLime);
  c.FrameRect({2, 2, 10, 10});
  EXPECT_EQ(c.Pixels(2, 5), clLime);
  EXPECT_EQ(c.Pixels(9, 5), clLime);
  EXPECT_EQ(c.Pixels(5, 5), clWhite);

  // On lime, with the brush white but clear: smoothed text mixes red and lime only.
  c.FillRect({12, 0, 60, 30});
  c.Brush().SetColor(clWhite);
  c.Brush().SetStyle(TBrushStyle::bsClear);
  c.Font().SetColor(clRed);
  c.Font().SetHeight(-20);
  c.TextOut(12, 2, "WM");
  int red = 0, blue = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 12; x < 60; ++x) {
      const TColor p = c.Pixels(x, y);
      red += p == clRed;
      blue += (p & 0xFF0000) != 0;
    }
  EXPECT_GT(red, 20);
  EXPECT_EQ(blue, 0) << "a clear brush paints no text background";
}

TEST(Canvas, ForeignDcGetsItsOwnObjectsBackAndCanBeDetached) {
  HDC dc = CreateCompatibleDC(nullptr);
  HDC screen = GetDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 20, 20);
  ReleaseDC(nullptr, screen);
  HGDIOBJ oldBitmap = SelectObject(dc, bmp);
  const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH),
                font = GetCurrentObject(dc, OBJ_FONT);
  SetTextColor(dc, RGB(1, 2, 3));
  SetBkMode(dc, OPAQUE);
  IntersectClipRect(dc, 5, 5, 10, 12);
  {
    TCanvas c;
    c.SetHandle(dc);
    EXPECT_EQ(c.Handle(), dc);
    EXPECT_EQ(c.ClipRect(), (TRect{5, 5, 10, 12}));
    c.Pen().SetColor(clRed);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.Font().SetColor(clBlue);
    c.Rectangle({0, 0, 20, 20});
    c.TextOut(0, 0, "x");
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    c.SetHandle(nullptr);
    EXPECT_FALSE(c.HandleAllocated());
    // Detached, the canvas makes a DC of its own again and leaves the foreign one alone.
    EXPECT_NE(c.Handle(), dc);
  }
  EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
  SelectObject(dc, oldBitmap);
  DeleteObject(bmp);
  DeleteDC(dc);
}

TEST(Canvas, CopyRectStretchesWithTheCopyMode) {
  TBitmap src;
  src.SetSize(2, 2);
  const TColor colours[2][2] = {{clRed, clLime}, {clBlue, clYellow}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) src.Canvas().SetPixels(x, y, colours[y][x]);
  TBitmap dst;
  Fill(dst, 10, 10, clWhite);
  dst.Canvas().CopyRect({1, 1, 9, 9}, src.Canvas(), {0, 0, 2, 2});
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool inside = x >= 1 && x < 9 && y >= 1 && y < 9;
      const TColor expected = inside ? colours[(y - 1) / 4][(x - 1) / 4] : clWhite;
      ASSERT_EQ(dst.Canvas().Pixels(x, y), expected) << x << "," << y;
    }

  dst.Canvas().SetCopyMode(NOTSRCCOPY);
  dst.Canvas().CopyRect({0, 0, 1, 1}, src.Canvas(), {1, 1, 2, 2});
  EXPECT_EQ(dst.Canvas().Pixels(0, 0), clBlue) << "inverted yellow";
}

TEST(Canvas, DrawAndStretchDrawPlaceAGraphic) {
  TBitmap pic;
  Fill(pic, 2, 1, clRed);
  pic.Canvas().SetPixels(1, 0, clBlue);
  TBitmap dst;
  Fill(dst, 8, 4, clWhite);
  dst.Canvas().Draw(5, 3, pic);
  EXPECT_EQ(dst.Canvas().Pixels(5, 3), clRed);
  EXPECT_EQ(dst.Canvas().Pixels(6, 3), clBlue);
  dst.Canvas().StretchDraw({0, 0, 4, 2}, pic);
  EXPECT_EQ(dst.Canvas().Pixels(1, 1), clRed);
  EXPECT_EQ(dst.Canvas().Pixels(2, 0), clBlue);
  EXPECT_EQ(dst.Canvas().Pixels(4, 0), clWhite);
}
