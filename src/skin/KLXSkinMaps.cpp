#include "skin/KLXSkinMaps.h"

#include <shellapi.h>

#include "gui/Application.h"
#include "gui/Graphics.h"
#include "gui/Screen.h"
#include "shell/KLShellUtils.h"
#include "skin/KLRects.h"
#include "sys/KLString.h"

namespace orv {

namespace {
const std::vector<std::string> kLinkTypeNames = {"mlNone", "mlWeb", "mlMail", "mlExe"};
}  // namespace

// ---- paint state and mouse objects

const TClassInfo& TKLXSkinMapPaintObj::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLXSkinMapPaintObj>("TKLXSkinMapPaintObj", &TKLXSkinPaintObj::StaticClassInfo()).Info();
  return info;
}

const TClassInfo& TKLXSkinMapAreaPaintObj::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLXSkinMapAreaPaintObj>("TKLXSkinMapAreaPaintObj", &TKLXSkinPaintObj::StaticClassInfo()).Info();
  return info;
}

const TClassInfo& TKLXSkinMapMouseObj::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLXSkinMapMouseObj>("TKLXSkinMapMouseObj", &TKLXSkinMouseObj::StaticClassInfo()).Info();
  return info;
}

void TKLXSkinMapMouseObj::DragStart(TMouseButton Button, int32_t X, int32_t Y) {
  if (!DragEnabled() || Button != TMouseButton::mbLeft || DragControls().Count() == 0) return;
  if (Skin() && Skin()->Control()) SetCaptureControl(Skin()->Control());
  SetDragging(true);
  DragStartX = X;
  DragStartY = Y;
}

void TKLXSkinMapMouseObj::DragMove(int32_t X, int32_t Y) {
  if (Dragging()) MoveControls(X, Y);
}

void TKLXSkinMapMouseObj::DragEnd(int32_t X, int32_t Y) {
  if (!Dragging()) return;
  SetCaptureControl(nullptr);
  SetDragging(false);
  MoveControls(X, Y);
}

// When the map moves with a dragged window, the grabbed point comes back under the pointer, so
// the next step starts from DragStartX and DragStartY again.
void TKLXSkinMapMouseObj::MoveControls(int32_t X, int32_t Y) {
  for (int i = 0; i < DragControls().Count(); ++i) {
    auto* c = dynamic_cast<TControl*>(DragControls().Items(i));
    if (c) c->SetBounds(c->Left() + X - DragStartX, c->Top() + Y - DragStartY, c->Width(), c->Height());
  }
}

// ---- areas

const TClassInfo& TKLXMapArea::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLXMapArea>("TKLXMapArea", &TCollectionItem::StaticClassInfo())
          .String("DisplayName", &TKLXMapArea::DisplayName, &TKLXMapArea::SetDisplayName)
          .Integer("Cursor", &TKLXMapArea::Cursor, &TKLXMapArea::SetCursor, 0)
          .String("Hint", &TKLXMapArea::Hint, &TKLXMapArea::SetHint)
          .String("Area", &TKLXMapArea::AreaText, &TKLXMapArea::SetAreaText)
          .String("OverArea", &TKLXMapArea::OverAreaText, &TKLXMapArea::SetOverAreaText)
          .String("OverImgArea", &TKLXMapArea::OverImgAreaText, &TKLXMapArea::SetOverImgAreaText)
          .String("Link", &TKLXMapArea::Link, &TKLXMapArea::SetLink)
          .String("LinkParams", &TKLXMapArea::LinkParams, &TKLXMapArea::SetLinkParams)
          .Enum("LinkType", &TKLXMapArea::LinkType, &TKLXMapArea::SetLinkType, kLinkTypeNames, 0)
          .Integer("Additional", &TKLXMapArea::Additional, &TKLXMapArea::SetAdditional, 0)
          .Info();
  return info;
}

TKLXMapArea::TKLXMapArea(TCollection* Collection) : TCollectionItem(Collection) {
  auto* areas = dynamic_cast<TKLXMapAreaCollection*>(Collection);
  paintObj_ = new TKLXSkinMapAreaPaintObj(areas && areas->Map() ? areas->Map()->Skin() : nullptr);
}

TKLXMapArea::~TKLXMapArea() { delete paintObj_; }

TKLXSkinMap* TKLXMapArea::Map() const {
  auto* areas = dynamic_cast<TKLXMapAreaCollection*>(Collection());
  return areas ? areas->Map() : nullptr;
}

std::string TKLXMapArea::AreaText() const { return RectToStr(area_); }
void TKLXMapArea::SetAreaText(const std::string& Value) { area_ = StrToRect(Value); }
std::string TKLXMapArea::OverAreaText() const { return RectToStr(overArea_); }
void TKLXMapArea::SetOverAreaText(const std::string& Value) { overArea_ = StrToRect(Value); }
std::string TKLXMapArea::OverImgAreaText() const { return RectToStr(overImgArea_); }
void TKLXMapArea::SetOverImgAreaText(const std::string& Value) { overImgArea_ = StrToRect(Value); }

void TKLXMapArea::Assign(const TPersistent* Source) {
  const auto* other = dynamic_cast<const TKLXMapArea*>(Source);
  if (!other) return TCollectionItem::Assign(Source);
  displayName_ = other->displayName_;
  link_ = other->link_;
  linkParams_ = other->linkParams_;
  linkType_ = other->linkType_;
  additional_ = other->additional_;
  cursor_ = other->cursor_;
  hint_ = other->hint_;
  area_ = other->area_;
  overArea_ = other->overArea_;
  overImgArea_ = other->overImgArea_;
}

const TClassInfo& TKLXMapAreaCollection::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLXMapAreaCollection>("TKLXMapAreaCollection", &TOwnedCollection::StaticClassInfo()).Info();
  return info;
}

TKLXMapAreaCollection::TKLXMapAreaCollection(TKLXSkinMap* Map)
    : TOwnedCollection(Map, TKLXMapArea::StaticClassInfo()), map_(Map) {}

TKLXMapArea* TKLXMapAreaCollection::AreaAt(int Index) const {
  return Index >= 0 && Index < Count() ? Items(Index) : nullptr;
}

int TKLXMapAreaCollection::IndexOfArea(const std::string& Name) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->DisplayName() == Name) return i;
  return -1;
}

// ---- the common data and its paint object

const TClassInfo& TKLXSkinDataMapPaintObj::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLXSkinDataMapPaintObj>("TKLXSkinDataMapPaintObj", &TKLXSkinDataCustomPaintObj::StaticClassInfo())
          .Object("Images", &TKLXSkinDataMapPaintObj::Images)
          .Info();
  return info;
}

TKLXSkinDataMapPaintObj::TKLXSkinDataMapPaintObj(TKLXCommonDataSkin* Skin)
    : TKLXSkinDataCustomPaintObj(Skin), images_(new TKLXImageData) {}

TKLXSkinDataMapPaintObj::~TKLXSkinDataMapPaintObj() { delete images_; }

bool TKLXSkinDataMapPaintObj::ImageChanged(int NewSlot, int OldSlot) {
  return images_->GetImageIndex(NewSlot) != images_->GetImageIndex(OldSlot);
}

TKLXBmpImages* TKLXSkinDataMapPaintObj::StripList(TKLXSkinCustomPaintObj* StateObj) {
  TKLXSkinData* data = StateObj && StateObj->Skin() ? StateObj->Skin()->SkinData() : nullptr;
  if (!data && Skin()) data = Skin()->SkinData();
  const int32_t list = images_->ListIndex();
  if (!data || list < 0 || list >= data->ImageLists().Count()) return nullptr;
  return data->ImageLists().Items(list);
}

void TKLXSkinDataMapPaintObj::PaintBackground(TKLXSkinCustomPaintObj* StateObj, TCanvas& Canvas, bool Erasing,
                                              const TRect& Clip) {
  if (Transparency() < 255) return;
  TKLXBmpImages* list = StripList(StateObj);
  if (list) list->CopyImage(Canvas, Clip, images_->GetImageIndex(StateObj->StateIndex()), Clip);
}

void TKLXSkinDataMapPaintObj::PaintForeground(TKLXSkinCustomPaintObj* StateObj, TCanvas& Canvas, const TRect& Clip) {
  auto* map = StateObj && StateObj->Skin() ? dynamic_cast<TKLXSkinMap*>(StateObj->Skin()->Control()) : nullptr;
  if (!map || !StripList(StateObj)) return;
  for (int i = 0; i < map->Areas().Count(); ++i)
    PaintArea(StateObj, Canvas, Clip, map->VarAreas(), *map->Areas().Items(i));
}

void TKLXSkinDataMapPaintObj::PaintControl(TKLXSkinCustomPaintObj* StateObj, TCanvas& Canvas) {
  const TRect clip = Canvas.ClipRect();
  if (RectIsEmpty(clip)) return;
  PaintBackground(StateObj, Canvas, false, clip);
  PaintForeground(StateObj, Canvas, clip);
}

void TKLXSkinDataMapPaintObj::PaintArea(TKLXSkinCustomPaintObj* StateObj, TCanvas& Canvas, const TRect& Clip,
                                        bool VarAreas, TKLXMapArea& Area) {
  try {
    TKLXBmpImages* list = StripList(StateObj);
    if (!list) return;
    const int32_t image = images_->GetImageIndex(Area.PaintObj().StateIndex());
    if (!VarAreas || !Area.PaintObj().Has(ssOver)) {
      const TRect r = RectIntersection(Clip, Area.Area());
      if (!RectIsEmpty(r)) list->DrawImage(Canvas, r, image, r);
    } else if (RectIsEmpty(Area.OverArea())) {
      const TRect r = RectIntersection(Clip, Area.Area());
      if (!RectIsEmpty(r)) list->DrawImage(Canvas, r, images_->idxOff(), r);
    } else {
      const TRect r = RectIntersection(Clip, Area.OverArea());
      if (RectIsEmpty(r)) return;
      const TRect s =
          RectOffset(r, Area.OverImgArea().Left - Area.OverArea().Left, Area.OverImgArea().Top - Area.OverArea().Top);
      list->DrawImage(Canvas, r, image, s);
    }
  } catch (...) {
    // A missing list or image draws nothing.
  }
}

void TKLXSkinDataMapPaintObj::RepaintArea(TKLXSkinCustomPaintObj* StateObj, TCanvas& Canvas, TKLXMapArea& Area,
                                          bool VarAreas) {
  if (!Area.PaintObj().UpdateStateIndex()) return;
  try {
    TKLXBmpImages* list = StripList(StateObj);
    if (!list) return;
    const int32_t image = images_->GetImageIndex(Area.PaintObj().StateIndex());
    if (VarAreas)
      list->DrawImage(Canvas, Area.OverArea(), image, Area.OverImgArea());
    else
      list->DrawImage(Canvas, Area.Area(), image, Area.Area());
  } catch (...) {
    // As in PaintArea.
  }
}

const TClassInfo& TKLXMapData::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TKLXMapData>("TKLXMapData", &TKLXCommonData::StaticClassInfo())
                                     .Object("PaintObj", &TKLXMapData::PaintObj)
                                     .Info();
  return info;
}

TKLXMapData::TKLXMapData(TComponent* owner) : TKLXCommonData(owner), paintObj_(new TKLXSkinDataMapPaintObj(Skin())) {}

TKLXMapData::TKLXMapData(TKLXSkinData* SkinData, const std::string& Name)
    : TKLXCommonData(SkinData, Name), paintObj_(new TKLXSkinDataMapPaintObj(Skin())) {}

TKLXMapData::~TKLXMapData() { delete paintObj_; }

bool TKLXMapData::ImageChanged(int NewSlot, int OldSlot) { return paintObj_->ImageChanged(NewSlot, OldSlot); }

// ---- the map

const TClassInfo& TKLXSkinMap::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLXSkinMap>("TKLXSkinMap", &TKLXSkinGraphicControl::StaticClassInfo())
          .Object("Areas", &TKLXSkinMap::Areas)
          .Boolean("VarAreas", &TKLXSkinMap::VarAreas, &TKLXSkinMap::SetVarAreas, false)
          .String("OutAreaHint", &TKLXSkinMap::OutAreaHint, &TKLXSkinMap::SetOutAreaHint)
          .Boolean("AutoCenter", &TKLXSkinMap::AutoCenter, &TKLXSkinMap::SetAutoCenter, false)
          .Boolean("ChangeCursor", &TKLXSkinMap::ChangeCursor, &TKLXSkinMap::SetChangeCursor, true)
          .Boolean("ToggleOnOff", &TKLXSkinMap::ToggleOnOff, &TKLXSkinMap::SetToggleOnOff, false)
          .Event("OnMapChanging", &TKLXSkinMap::OnMapChanging)
          .Event("OnMapClick", &TKLXSkinMap::OnMapClick)
          .Event("OnMapUnClick", &TKLXSkinMap::OnMapUnClick)
          .Method("CompCreateCommonData", &TKLXSkinMap::CompCreateCommonData)
          .Method("CompAfterLoad", &TKLXSkinMap::CompAfterLoad)
          .Info();
  return info;
}

TKLXSkinMap::TKLXSkinMap(TComponent* owner)
    : TKLXSkinGraphicControl(owner),
      areas_(new TKLXMapAreaCollection(this)),
      paintObj_(new TKLXSkinMapPaintObj(Skin())),
      mouseObj_(new TKLXSkinMapMouseObj(Skin())) {
  defaultCursor_ = static_cast<int16_t>(Cursor());
  SetBounds(Left(), Top(), 100, 100);
  LinkExpander = ExpandPathTokens;
  Skin()->SetCommonDataName(Name());
  CompCreateCommonData();
}

TKLXSkinMap::~TKLXSkinMap() {
  delete areas_;
  delete paintObj_;
  delete mouseObj_;
}

void TKLXSkinMap::SetOutAreaHint(const std::string& Value) {
  outAreaHint_ = Value;
  SetHint(Value);
}

TKLXMapData* TKLXSkinMap::MapData() const { return dynamic_cast<TKLXMapData*>(Skin()->CommonData()); }

TKLXImageData* TKLXSkinMap::Images() const {
  TKLXMapData* data = MapData();
  return data ? &data->PaintObj().Images() : nullptr;
}

// Maps whose skins name the same common data share it (and so their image selection).
void TKLXSkinMap::CompCreateCommonData() {
  TKLXSkinData* owner = Skin()->SkinData() ? Skin()->SkinData() : GlobalSkinData;
  if (!owner) return;
  const std::string& name = Skin()->CommonDataName();
  auto* data = dynamic_cast<TKLXMapData*>(owner->FindComponent(name));
  if (!data) data = new TKLXMapData(owner, name);
  Skin()->SetCommonData(data);
}

void TKLXSkinMap::CompAfterLoad() {
  if (!autoCenter_) return;
  try {
    TKLXImageData* images = Images();
    const int32_t image = images ? images->idxOff() : -1;
    TKLXSkinData* data = Skin()->SkinData();
    if (data && images && image >= 0) {
      TKLXBmpImages* list = data->ImageLists().Items(images->ListIndex());
      if (image < list->ImageCount()) SetBounds(Left(), Top(), list->ImageWidth(image), list->ImageHeight(image));
    }
  } catch (...) {
    // No such list: the map keeps its size.
  }
  TWinControl* parent = Parent();
  if (!parent) return;
  RECT client{0, 0, parent->Width(), parent->Height()};
  if (parent->HandleAllocated()) GetClientRect(parent->Handle(), &client);
  const int32_t left = client.right < Width() ? 0 : (client.right - Width()) / 2;
  const int32_t top = client.bottom < Height() ? 0 : (client.bottom - Height()) / 2;
  SetBounds(left, top, Width(), Height());
}

void TKLXSkinMap::Loaded() {
  TKLXSkinGraphicControl::Loaded();
  defaultCursor_ = static_cast<int16_t>(Cursor());
}

TKLXSkinState TKLXSkinMap::GetAreaState(const std::string& Name) {
  TKLXMapArea* area = areas_->AreaAt(areas_->IndexOfArea(Name));
  return area ? area->PaintObj().State() : TKLXSkinState{ssOff};
}

void TKLXSkinMap::SetAreaState(const std::string& Name, TKLXSkinState State) {
  TKLXMapArea* area = areas_->AreaAt(areas_->IndexOfArea(Name));
  if (!area) return;
  area->PaintObj().SetState(State);
  RepaintArea(*area);
}

void TKLXSkinMap::ResetAreas() {
  for (int i = 0; i < areas_->Count(); ++i) {
    TKLXMapArea& area = *areas_->Items(i);
    ExcludeAreaState(area, ssOn);
    ExcludeAreaState(area, ssClicked);
    RepaintArea(area);
  }
}

void TKLXSkinMap::IncludeAreaState(TKLXMapArea& Area, TKLXSkinStateFlag Flag) {
  if (Flag == ssOn && OnMapChanging) OnMapChanging(this, Area.DisplayName(), Area.Index());
  if (!Area.PaintObj().Has(Flag)) {
    Area.PaintObj().Include(Flag);
    if (Flag == ssOn)
      for (int i = 0; i < areas_->Count(); ++i)
        if (areas_->Items(i) != &Area) ExcludeAreaState(*areas_->Items(i), ssOn);
  }
  if (Flag != ssOn) return;
  if (OnMapClick) OnMapClick(this, Area.DisplayName(), Area.Index());
  if (!HasState(csLoading) && !Area.Link().empty()) OpenLink(Area);
}

void TKLXSkinMap::ExcludeAreaState(TKLXMapArea& Area, TKLXSkinStateFlag Flag) {
  if (!Area.PaintObj().Has(Flag)) return;
  Area.PaintObj().Exclude(Flag);
  if (Flag == ssOn && OnMapUnClick) OnMapUnClick(this, Area.DisplayName(), Area.Index());
}

// The launchers tell the user themselves when a link cannot be opened.
void TKLXSkinMap::OpenLink(const TKLXMapArea& Area) {
  try {
    const auto expand = [this](const std::string& s) { return LinkExpander ? LinkExpander(s) : s; };
    const std::string link = expand(Area.Link());
    const std::string params = Area.LinkParams().empty() ? std::string() : expand(Area.LinkParams());
    switch (Area.LinkType()) {
      case TKLXMapLinkType::mlWeb: OpenWebLink(link, {}, true); break;
      case TKLXMapLinkType::mlMail: SendMail(link, {}, true); break;
      case TKLXMapLinkType::mlExe:
        ShellExecuteA(Application ? Application->Handle() : nullptr, nullptr, link.c_str(),
                      params.empty() ? nullptr : params.c_str(), nullptr, SW_SHOWNORMAL);
        break;
      case TKLXMapLinkType::mlNone: break;
    }
  } catch (...) {
    // Nothing more to tell.
  }
}

TKLXMapArea* TKLXSkinMap::AreaAtPos(int32_t X, int32_t Y) const {
  for (int i = 0; i < areas_->Count(); ++i)
    if (RectContains(areas_->Items(i)->Area(), TPoint{X, Y})) return areas_->Items(i);
  return nullptr;
}

// Straight onto the control's canvas when it is on screen; otherwise the slot is only
// recomputed for the next full paint.
void TKLXSkinMap::RepaintArea(TKLXMapArea& Area) {
  TKLXMapData* data = MapData();
  const bool shown = Visible() && Parent() && Parent()->HandleAllocated();
  if (!data || !shown) {
    Area.PaintObj().UpdateStateIndex();
    return;
  }
  try {
    data->PaintObj().RepaintArea(paintObj_, Canvas(), Area, varAreas_);
  } catch (...) {
    // Drawing never raises out of the map.
  }
}

void TKLXSkinMap::MouseDown(TMouseButton Button, uint8_t Shift, int32_t X, int32_t Y) {
  if (Button == TMouseButton::mbLeft) {
    TKLXMapArea* area = AreaAtPos(X, Y);
    if (area && !area->PaintObj().Has(ssDisabled)) {
      IncludeAreaState(*area, ssClicked);
      RepaintArea(*area);
      return;
    }
  }
  mouseObj_->DragStart(Button, X, Y);
}

void TKLXSkinMap::MouseUp(TMouseButton Button, uint8_t Shift, int32_t X, int32_t Y) {
  if (mouseObj_->Dragging()) {
    mouseObj_->DragEnd(X, Y);
    return;
  }
  if (Button != TMouseButton::mbLeft) return;
  TKLXMapArea* area = AreaAtPos(X, Y);
  if (!area || area->PaintObj().Has(ssDisabled)) return;
  ExcludeAreaState(*area, ssClicked);
  if (toggleOnOff_ && area->PaintObj().Has(ssOn))
    ExcludeAreaState(*area, ssOn);
  else
    IncludeAreaState(*area, ssOn);
  RepaintArea(*area);
}

void TKLXSkinMap::MouseMove(uint8_t Shift, int32_t X, int32_t Y) {
  if (mouseObj_->Dragging()) {
    mouseObj_->DragMove(X, Y);
    return;
  }
  const TKLXImageData* images = Images();
  if (!ShowHint() && !changeCursor_ && !(images && images->idxOver() >= 0)) return;
  if (TKLXMapArea* area = AreaAtPos(X, Y))
    AreaHovered(*area);
  else
    NoAreaHovered();
}

namespace {
// The new cursor shows at once, not only at the pointer's next move.
void ShowCursorNow(int32_t id) {
  if (Screen && Screen->Cursor() == crDefault) ::SetCursor(Screen->Cursors(id));
}
}  // namespace

void TKLXSkinMap::AreaHovered(TKLXMapArea& Area) {
  for (int i = 0; i < areas_->Count(); ++i) {
    TKLXMapArea& other = *areas_->Items(i);
    if (&other == &Area) continue;
    other.PaintObj().Exclude(ssOver);
    RepaintArea(other);
  }
  if (!Area.PaintObj().Has(ssDisabled)) {
    Area.PaintObj().Include(ssOver);
    RepaintArea(Area);
  }
  if (changeCursor_ && Area.Cursor() != Cursor()) {
    SetCursor(Area.Cursor());
    ShowCursorNow(Cursor());
  }
  // A new text replaces the hint window that shows now (the application cancels it).
  if (ShowHint() && Hint() != Area.Hint()) SetHint(Area.Hint());
}

void TKLXSkinMap::NoAreaHovered() {
  RepaintAll();
  if (defaultCursor_ != Cursor()) {
    SetCursor(defaultCursor_);
    ShowCursorNow(Cursor());
  }
  if (Hint() != outAreaHint_) SetHint(outAreaHint_);
}

void TKLXSkinMap::RepaintAll() {
  for (int i = 0; i < areas_->Count(); ++i) {
    TKLXMapArea& area = *areas_->Items(i);
    area.PaintObj().Exclude(ssOver);
    RepaintArea(area);
  }
}

// Cursor and hint stay as they are.
void TKLXSkinMap::MouseLeave() {
  RepaintAll();
  TKLXSkinGraphicControl::MouseLeave();
}

// The areas' slots follow at once, so that the full paint below shows the new states.
void TKLXSkinMap::EnabledChanged() {
  if (!Enabled()) {
    paintObj_->SetState(ssDisabled);
    for (int i = 0; i < areas_->Count(); ++i) areas_->Items(i)->PaintObj().SetState(ssDisabled);
  } else {
    paintObj_->Exclude(ssDisabled);
    for (int i = 0; i < areas_->Count(); ++i) areas_->Items(i)->PaintObj().Exclude(ssDisabled);
  }
  for (int i = 0; i < areas_->Count(); ++i) areas_->Items(i)->PaintObj().UpdateStateIndex();
  Invalidate();
}

void TKLXSkinMap::Paint() {
  try {
    PaintMap();
  } catch (...) {
    // Drawing never raises out of the map.
  }
}

void TKLXSkinMap::PaintMap() {
  TCanvas& canvas = Canvas();
  if (HasState(csDesigning)) {
    canvas.Pen().SetStyle(TPenStyle::psDash);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.Rectangle(TRect{0, 0, Width(), Height()});
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    return;
  }
  if (!Visible()) return;
  const TRect clip = canvas.ClipRect();
  PaintBackground(clip);
  PaintForeground(clip);
}

void TKLXSkinMap::PaintBackground(const TRect& Clip) {
  if (TKLXMapData* data = MapData()) data->PaintObj().PaintBackground(paintObj_, Canvas(), false, Clip);
}

void TKLXSkinMap::PaintForeground(const TRect& Clip) {
  if (TKLXMapData* data = MapData()) data->PaintObj().PaintForeground(paintObj_, Canvas(), Clip);
}

void InitializeKLXSkinMaps() { RegisterClass(TKLXSkinMap::StaticClassInfo()); }

void FinalizeKLXSkinMaps() { UnRegisterClass(TKLXSkinMap::StaticClassInfo()); }

}  // namespace orv
