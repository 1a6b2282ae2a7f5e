#pragma once
// Panels, bevels and the notebook of pages.
#include <windows.h>

#include <vector>

#include "gui/Controls.h"

namespace orv {

enum class TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };

// A container that paints its own background in Color (also under visual styles, where a
// parent's themed background would otherwise show through), its bevels and its caption.
class TPanel : public TWinControl {
  ORV_CLASSINFO(TPanel)

public:
  explicit TPanel(TComponent* owner);
  TPanelBevel BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TPanelBevel value);
  TPanelBevel BevelInner() const { return bevelInner_; }
  void SetBevelInner(TPanelBevel value);
  int32_t BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int32_t value);

protected:
  void CreateParams(TCreateParams& params) override;
  void PaintWindow(HDC dc) override;
  void CaptionChanged() override { Invalidate(); }
  bool TakesFocus() const override { return false; }

private:
  TPanelBevel bevelOuter_ = TPanelBevel::bvRaised;
  TPanelBevel bevelInner_ = TPanelBevel::bvNone;
  int32_t bevelWidth_ = 1;
};

enum class TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum class TBevelStyle { bsLowered, bsRaised };

// A windowless sunken or raised box, frame or line.
class TBevel : public TGraphicControl {
  ORV_CLASSINFO(TBevel)

public:
  explicit TBevel(TComponent* owner);
  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape value);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle value);

protected:
  void Paint() override;

private:
  TBevelShape shape_ = TBevelShape::bsBox;
  TBevelStyle style_ = TBevelStyle::bsLowered;
};

// One page of a notebook: a container the size of the notebook, shown while it is the
// notebook's active page. Its Caption is the page's name.
class TPage : public TWinControl {
  ORV_CLASSINFO(TPage)

public:
  explicit TPage(TComponent* owner);
  void SetParent(TWinControl* parent) override;

protected:
  bool TakesFocus() const override { return false; }
};

// Pages by index; exactly one, PageIndex, is shown.
class TNotebook : public TWinControl {
  ORV_CLASSINFO(TNotebook)

public:
  explicit TNotebook(TComponent* owner);
  int32_t PageCount() const { return static_cast<int32_t>(Pages().size()); }
  TPage* Page(int32_t index) const { return Pages().at(index); }
  // Adds a page at the end, owned by the notebook's owner.
  TPage* AddPage(const std::string& caption);
  int32_t PageIndex() const { return pageIndex_; }
  // An index outside the pages raises EListError and changes nothing (while a definition is
  // read it is kept until the pages are there).
  void SetPageIndex(int32_t value);
  void Loaded() override;

protected:
  friend class TPage;
  void CreateParams(TCreateParams& params) override;
  void BoundsChanged() override;
  bool TakesFocus() const override { return false; }

private:
  std::vector<TPage*> Pages() const;
  void ShowActivePage();
  int32_t pageIndex_ = 0;
};

}  // namespace orv
