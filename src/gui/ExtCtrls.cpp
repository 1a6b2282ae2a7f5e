#include <windows.h>

#include "gui/ExtCtrls.h"

#include "base/Lists.h"

namespace orv {

namespace {
const std::vector<std::string> kPanelBevelNames = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
const std::vector<std::string> kBevelShapeNames = {"bsBox",      "bsFrame",     "bsTopLine", "bsBottomLine",
                                                   "bsLeftLine", "bsRightLine", "bsSpacer"};
const std::vector<std::string> kBevelStyleNames = {"bsLowered", "bsRaised"};

// One ring of a panel's bevel, drawn inside Rect, which then shrinks past it.
void DrawBevelRing(HDC dc, RECT& rect, TPanelBevel bevel, int32_t width) {
  if (bevel == TPanelBevel::bvNone) return;
  for (int32_t i = 0; i < width; ++i) {
    if (bevel != TPanelBevel::bvSpace)
      DrawEdge(dc, &rect, bevel == TPanelBevel::bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    InflateRect(&rect, -1, -1);
  }
}
}  // namespace

const TClassInfo& TPanel::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TPanel>("TPanel", &TWinControl::StaticClassInfo())
          .Enum("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner, kPanelBevelNames, 0)
          .Enum("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter, kPanelBevelNames, 2)
          .Integer("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth, 1)
          .Info();
  return info;
}

const TClassInfo& TBevel::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TBevel>("TBevel", &TGraphicControl::StaticClassInfo())
                                     .Enum("Shape", &TBevel::Shape, &TBevel::SetShape, kBevelShapeNames, 0)
                                     .Enum("Style", &TBevel::Style, &TBevel::SetStyle, kBevelStyleNames, 0)
                                     .Info();
  return info;
}

const TClassInfo& TPage::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TPage>("TPage", &TWinControl::StaticClassInfo()).Info();
  return info;
}

const TClassInfo& TNotebook::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TNotebook>("TNotebook", &TWinControl::StaticClassInfo())
                                     .Integer("PageIndex", &TNotebook::PageIndex, &TNotebook::SetPageIndex, 0)
                                     .Info();
  return info;
}

// ---- TPanel

TPanel::TPanel(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 185, 41); }

void TPanel::SetBevelOuter(TPanelBevel value) {
  bevelOuter_ = value;
  Invalidate();
}

void TPanel::SetBevelInner(TPanelBevel value) {
  bevelInner_ = value;
  Invalidate();
}

void TPanel::SetBevelWidth(int32_t value) {
  bevelWidth_ = value;
  Invalidate();
}

void TPanel::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN;
  params.ExStyle |= WS_EX_CONTROLPARENT;
}

void TPanel::PaintWindow(HDC dc) {
  RECT r{0, 0, Width(), Height()};
  DrawBevelRing(dc, r, bevelOuter_, bevelWidth_);
  DrawBevelRing(dc, r, bevelInner_, bevelWidth_);
  if (Caption().empty()) return;
  TSelectObject font(dc, Font().Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, Font().Color());
  DrawTextA(dc, Caption().c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// ---- TBevel

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 50, 50); }

void TBevel::SetShape(TBevelShape value) {
  shape_ = value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle value) {
  style_ = value;
  Invalidate();
}

void TBevel::Paint() {
  RECT r{0, 0, Width(), Height()};
  const UINT edge = style_ == TBevelStyle::bsLowered ? EDGE_SUNKEN : EDGE_RAISED;
  const UINT etched = style_ == TBevelStyle::bsLowered ? EDGE_ETCHED : EDGE_BUMP;
  HDC dc = Canvas().Handle();
  switch (shape_) {
    case TBevelShape::bsBox: DrawEdge(dc, &r, edge, BF_RECT); break;
    case TBevelShape::bsFrame: DrawEdge(dc, &r, etched, BF_RECT); break;
    case TBevelShape::bsTopLine: DrawEdge(dc, &r, etched, BF_TOP); break;
    case TBevelShape::bsBottomLine:
      r.top = r.bottom - 2;
      DrawEdge(dc, &r, etched, BF_TOP);
      break;
    case TBevelShape::bsLeftLine: DrawEdge(dc, &r, etched, BF_LEFT); break;
    case TBevelShape::bsRightLine:
      r.left = r.right - 2;
      DrawEdge(dc, &r, etched, BF_LEFT);
      break;
    case TBevelShape::bsSpacer: break;
  }
}

// ---- TPage and TNotebook

TPage::TPage(TComponent* owner) : TWinControl(owner) { SetVisible(false); }

// A page always fills its notebook.
void TPage::SetParent(TWinControl* parent) {
  TWinControl::SetParent(parent);
  if (auto* book = dynamic_cast<TNotebook*>(parent)) {
    SetBounds(0, 0, book->Width(), book->Height());
    book->ShowActivePage();
  }
}

TNotebook::TNotebook(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 150, 150); }

void TNotebook::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN;
  params.ExStyle |= WS_EX_CONTROLPARENT;
}

std::vector<TPage*> TNotebook::Pages() const {
  std::vector<TPage*> pages;
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* p = dynamic_cast<TPage*>(Controls(i))) pages.push_back(p);
  return pages;
}

TPage* TNotebook::AddPage(const std::string& caption) {
  auto* page = new TPage(Owner() ? Owner() : this);
  page->SetCaption(caption);
  page->SetParent(this);
  return page;
}

void TNotebook::SetPageIndex(int32_t value) {
  if (!HasState(csLoading) && (value < 0 || value >= PageCount())) RaiseListIndexError(value);
  pageIndex_ = value;
  ShowActivePage();
}

void TNotebook::Loaded() {
  TWinControl::Loaded();
  ShowActivePage();
}

void TNotebook::ShowActivePage() {
  const std::vector<TPage*> pages = Pages();
  for (size_t i = 0; i < pages.size(); ++i) pages[i]->SetVisible(static_cast<int32_t>(i) == pageIndex_);
}

void TNotebook::BoundsChanged() {
  TWinControl::BoundsChanged();
  for (TPage* p : Pages()) p->SetBounds(0, 0, Width(), Height());
}

}  // namespace orv
