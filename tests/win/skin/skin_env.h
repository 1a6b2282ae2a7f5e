#pragma once
// Shared by the skin tests and the demo: a strip list whose images are solid colours, one per
// paint state, so that a pixel tells which image a part of a map shows; and a test form with a
// map over it.
#include <windows.h>

#include "gui/Forms.h"
#include "skin/KLXSkinMaps.h"

namespace skintest {

// Image index i of the strip list is filled with kColors[i]; the map's slots use them as
// Off 0, On 3, Disabled 4, Over 1, Clicked 2.
constexpr COLORREF kOff = RGB(255, 0, 0);
constexpr COLORREF kOver = RGB(0, 255, 0);
constexpr COLORREF kClicked = RGB(0, 0, 255);
constexpr COLORREF kOn = RGB(255, 255, 0);
constexpr COLORREF kDisabled = RGB(128, 128, 128);
constexpr int32_t kMapWidth = 200;
constexpr int32_t kMapHeight = 100;

// A strip list of five kMapWidth x kMapHeight images in GlobalSkinData; its list index.
int AddStripList();

// A borderless form at (X, Y) holding a kMapWidth x kMapHeight map at its corner, drawing from
// list ListIndex, with three areas:
//   0 "first"    10,10,60,50
//   1 "second"   50,20,120,60   (overlaps "first" where x is 50 to 59)
//   2 "programs" 130,10,190,90
struct TMapForm {
  orv::TForm* Form = nullptr;
  orv::TKLXSkinMap* Map = nullptr;
};
TMapForm MakeMapForm(int ListIndex, int X, int Y);

// The pixel at (X, Y) of Wnd's client area as it shows now.
COLORREF ClientPixel(HWND Wnd, int X, int Y);

}  // namespace skintest
