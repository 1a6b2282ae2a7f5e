#include "skin_env.h"

#include <memory>

#include "skin/KLGraphics.h"
#include "skin/KLXImgList.h"

using namespace orv;

namespace skintest {

int AddStripList() {
  auto* list = new TKLXBmpImages(nullptr);
  for (COLORREF color : {kOff, kOver, kClicked, kOn, kDisabled}) {
    TKLBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(kMapWidth, kMapHeight);
    b.Canvas().Brush().SetColor(static_cast<TColor>(color));
    b.Canvas().FillRect(TRect{0, 0, kMapWidth, kMapHeight});
    list->Images().AddBitmap(b);
  }
  list->Rebuild();
  return GlobalSkinData->ImageLists().Add(list);
}

TMapForm MakeMapForm(int ListIndex, int X, int Y) {
  TMapForm f;
  f.Form = new TForm(Application);
  f.Form->SetBorderStyle(TFormBorderStyle::bsNone);
  f.Form->SetBounds(X, Y, kMapWidth + 40, kMapHeight + 40);
  f.Form->SetColor(static_cast<TColor>(RGB(255, 255, 255)));
  f.Map = new TKLXSkinMap(f.Form);
  f.Map->SetParent(f.Form);
  f.Map->SetBounds(0, 0, kMapWidth, kMapHeight);
  TKLXImageData& images = *f.Map->Images();
  images.SetImageIndex(5, ListIndex);
  const int32_t slots[] = {0, 3, 4, 1, 2};  // Off, On, Disabled, Over, Clicked
  for (int slot = 0; slot < 5; ++slot) images.SetImageIndex(slot, slots[slot]);
  const struct {
    const char* Name;
    const char* Rect;
  } areas[] = {{"first", "10,10,60,50"}, {"second", "50,20,120,60"}, {"programs", "130,10,190,90"}};
  for (const auto& a : areas) {
    TKLXMapArea* area = f.Map->Areas().Add();
    area->SetDisplayName(a.Name);
    area->SetAreaText(a.Rect);
  }
  f.Form->Show();
  UpdateWindow(f.Form->Handle());
  return f;
}

COLORREF ClientPixel(HWND Wnd, int X, int Y) {
  HDC dc = GetDC(Wnd);
  const COLORREF c = GetPixel(dc, X, Y);
  ReleaseDC(Wnd, dc);
  return c;
}

}  // namespace skintest
