#pragma once
// The image map: a windowless control that shows a picture from a strip image list and divides
// it into named rectangular areas. An area shows another image while the pointer is over it or
// presses it, may carry its own cursor and hint, and a click on it raises OnMapClick with its
// name and may open a web link, a mail address or a program. A left press outside every area
// drags the controls in the mouse object's DragControls (a borderless window by its top bar).
//
// The map's skin owns nothing: the image selection lives in a common-data component of class
// TKLXMapData that the map creates in its skin data, and whose paint object draws. Set the strip
// list and the image of each state through Images() (SetImageIndex, slot 5 for ListIndex).
#include <cstdint>
#include <functional>
#include <string>

#include "base/Collection.h"
#include "skin/KLXSkinCtrls.h"
#include "skin/KLXSkinData.h"

namespace orv {

class TKLXSkinMap;
class TKLXMapAreaCollection;

enum class TKLXMapLinkType : uint8_t { mlNone, mlWeb, mlMail, mlExe };
using TKLXMapClickEvent = TEvent<void(TObject* Sender, const std::string& AreaName, int32_t AreaIndex)>;

class TKLXSkinMapPaintObj : public TKLXSkinPaintObj {
  ORV_CLASSINFO(TKLXSkinMapPaintObj)
public:
  using TKLXSkinPaintObj::TKLXSkinPaintObj;
};

class TKLXSkinMapAreaPaintObj : public TKLXSkinPaintObj {
  ORV_CLASSINFO(TKLXSkinMapAreaPaintObj)
public:
  using TKLXSkinPaintObj::TKLXSkinPaintObj;
};

class TKLXSkinMapMouseObj : public TKLXSkinMouseObj {
  ORV_CLASSINFO(TKLXSkinMapMouseObj)
public:
  using TKLXSkinMouseObj::TKLXSkinMouseObj;
  // A left press with dragging enabled and controls to drag takes the mouse capture.
  void DragStart(TMouseButton Button, int32_t X, int32_t Y);
  // Each control moves by the pointer's way from the press (map coordinates).
  void DragMove(int32_t X, int32_t Y);
  // Gives the capture back and moves the controls a last time.
  void DragEnd(int32_t X, int32_t Y);

private:
  void MoveControls(int32_t X, int32_t Y);
};

class TKLXMapArea : public TCollectionItem {
  ORV_CLASSINFO(TKLXMapArea)
public:
  explicit TKLXMapArea(TCollection* Collection);
  ~TKLXMapArea() override;

  std::string DisplayName() const override { return displayName_; }
  void SetDisplayName(const std::string& Value) override { displayName_ = Value; }
  const std::string& Link() const { return link_; }
  void SetLink(const std::string& Value) { link_ = Value; }
  const std::string& LinkParams() const { return linkParams_; }
  void SetLinkParams(const std::string& Value) { linkParams_ = Value; }
  TKLXMapLinkType LinkType() const { return linkType_; }
  void SetLinkType(TKLXMapLinkType Value) { linkType_ = Value; }
  int32_t Additional() const { return additional_; }
  void SetAdditional(int32_t Value) { additional_ = Value; }
  int16_t Cursor() const { return cursor_; }
  void SetCursor(int16_t Value) { cursor_ = Value; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& Value) { hint_ = Value; }
  // Control coordinates, right and bottom outside; definitions hold them as "L,T,R,B".
  const TRect& Area() const { return area_; }
  void SetArea(const TRect& Value) { area_ = Value; }
  const TRect& OverArea() const { return overArea_; }
  void SetOverArea(const TRect& Value) { overArea_ = Value; }
  const TRect& OverImgArea() const { return overImgArea_; }
  void SetOverImgArea(const TRect& Value) { overImgArea_ = Value; }
  std::string AreaText() const;
  void SetAreaText(const std::string& Value);
  std::string OverAreaText() const;
  void SetOverAreaText(const std::string& Value);
  std::string OverImgAreaText() const;
  void SetOverImgAreaText(const std::string& Value);

  TKLXSkinMapAreaPaintObj& PaintObj() { return *paintObj_; }
  TKLXSkinMap* Map() const;

  void Assign(const TPersistent* Source) override;

private:
  std::string displayName_;
  std::string link_;
  std::string linkParams_;
  TKLXMapLinkType linkType_ = TKLXMapLinkType::mlNone;
  int32_t additional_ = 0;
  int16_t cursor_ = 0;
  std::string hint_;
  TRect area_{};
  TRect overArea_{};
  TRect overImgArea_{};
  TKLXSkinMapAreaPaintObj* paintObj_;
};

class TKLXMapAreaCollection : public TOwnedCollection {
  ORV_CLASSINFO(TKLXMapAreaCollection)
public:
  explicit TKLXMapAreaCollection(TKLXSkinMap* Map);
  TKLXSkinMap* Map() const { return map_; }
  TKLXMapArea* Items(int Index) const { return static_cast<TKLXMapArea*>(TCollection::Items(Index)); }
  TKLXMapArea* Add() { return static_cast<TKLXMapArea*>(TCollection::Add()); }
  // None when Index is not below Count (or negative).
  TKLXMapArea* AreaAt(int Index) const;
  // The first area whose DisplayName is Name (case-sensitive), or -1.
  int IndexOfArea(const std::string& Name) const;

private:
  TKLXSkinMap* map_;
};

class TKLXSkinDataMapPaintObj : public TKLXSkinDataCustomPaintObj {
  ORV_CLASSINFO(TKLXSkinDataMapPaintObj)
public:
  explicit TKLXSkinDataMapPaintObj(TKLXCommonDataSkin* Skin);
  ~TKLXSkinDataMapPaintObj() override;

  TKLXImageData& Images() { return *images_; }

  bool ImageChanged(int NewSlot, int OldSlot) override;
  // The map state's image (slot StateIndex) under Clip; nothing when see-through or without
  // a usable strip list.
  void PaintBackground(TKLXSkinCustomPaintObj* StateObj, TCanvas& Canvas, bool Erasing, const TRect& Clip) override;
  // Every area of the map in ascending order, later ones over earlier ones.
  void PaintForeground(TKLXSkinCustomPaintObj* StateObj, TCanvas& Canvas, const TRect& Clip) override;
  void PaintControl(TKLXSkinCustomPaintObj* StateObj, TCanvas& Canvas) override;
  void PaintArea(TKLXSkinCustomPaintObj* StateObj, TCanvas& Canvas, const TRect& Clip, bool VarAreas,
                 TKLXMapArea& Area);
  // Recomputes the area's slot and draws it only when its image changed.
  void RepaintArea(TKLXSkinCustomPaintObj* StateObj, TCanvas& Canvas, TKLXMapArea& Area, bool VarAreas);

private:
  // The strip list ListIndex of the state object's skin data, or none.
  TKLXBmpImages* StripList(TKLXSkinCustomPaintObj* StateObj);
  TKLXImageData* images_;
};

class TKLXMapData : public TKLXCommonData {
  ORV_CLASSINFO(TKLXMapData)
public:
  explicit TKLXMapData(TComponent* owner);
  TKLXMapData(TKLXSkinData* SkinData, const std::string& Name);
  ~TKLXMapData() override;

  TKLXSkinDataMapPaintObj& PaintObj() { return *paintObj_; }
  bool ImageChanged(int NewSlot, int OldSlot) override;

private:
  TKLXSkinDataMapPaintObj* paintObj_;
};

class TKLXSkinMap : public TKLXSkinGraphicControl {
  ORV_CLASSINFO(TKLXSkinMap)
public:
  explicit TKLXSkinMap(TComponent* owner);
  ~TKLXSkinMap() override;

  TKLXMapAreaCollection& Areas() { return *areas_; }
  bool ChangeCursor() const { return changeCursor_; }
  void SetChangeCursor(bool Value) { changeCursor_ = Value; }
  bool ToggleOnOff() const { return toggleOnOff_; }
  void SetToggleOnOff(bool Value) { toggleOnOff_ = Value; }
  bool AutoCenter() const { return autoCenter_; }
  void SetAutoCenter(bool Value) { autoCenter_ = Value; }
  int16_t DefaultCursor() const { return defaultCursor_; }
  void SetDefaultCursor(int16_t Value) { defaultCursor_ = Value; }
  bool VarAreas() const { return varAreas_; }
  void SetVarAreas(bool Value) { varAreas_ = Value; }
  const std::string& OutAreaHint() const { return outAreaHint_; }
  // Also makes it the control's present hint.
  void SetOutAreaHint(const std::string& Value);

  TKLXMapClickEvent OnMapClick;
  TKLXMapClickEvent OnMapUnClick;
  TKLXMapClickEvent OnMapChanging;
  // Applied to Link and LinkParams before a link is opened.
  std::function<std::string(const std::string&)> LinkExpander;

  TKLXSkinMapPaintObj& PaintObj() { return *paintObj_; }
  TKLXSkinMapMouseObj& MouseObj() { return *mouseObj_; }
  // The common data this map draws with, and its image selection; none without common data.
  TKLXMapData* MapData() const;
  TKLXImageData* Images() const;

  // The first area named Name: its state, or {ssOff} when there is none.
  virtual TKLXSkinState GetAreaState(const std::string& Name);
  virtual void SetAreaState(const std::string& Name, TKLXSkinState State);
  // Switches every area off and unclicks it, raising OnMapUnClick for each one that was On.
  virtual void ResetAreas();

  void IncludeAreaState(TKLXMapArea& Area, TKLXSkinStateFlag Flag);
  void ExcludeAreaState(TKLXMapArea& Area, TKLXSkinStateFlag Flag);
  // Draws the area now if its image changed; errors draw nothing.
  void RepaintArea(TKLXMapArea& Area);
  // The first area containing the point, or none.
  TKLXMapArea* AreaAtPos(int32_t X, int32_t Y) const;

  // Published methods.
  void CompCreateCommonData();
  void CompAfterLoad();

  void MouseDown(TMouseButton Button, uint8_t Shift, int32_t X, int32_t Y) override;
  void MouseMove(uint8_t Shift, int32_t X, int32_t Y) override;
  void MouseUp(TMouseButton Button, uint8_t Shift, int32_t X, int32_t Y) override;
  void MouseLeave() override;
  void Loaded() override;

protected:
  void Paint() override;
  void EnabledChanged() override;
  void PaintBackground(const TRect& Clip);
  void PaintForeground(const TRect& Clip);

private:
  void PaintMap();
  void OpenLink(const TKLXMapArea& Area);
  void AreaHovered(TKLXMapArea& Area);
  void NoAreaHovered();
  void RepaintAll();

  bool changeCursor_ = true;
  bool toggleOnOff_ = false;
  bool autoCenter_ = false;
  int16_t defaultCursor_ = 0;
  bool varAreas_ = false;
  std::string outAreaHint_;
  TKLXMapAreaCollection* areas_;
  TKLXSkinMapPaintObj* paintObj_;
  TKLXSkinMapMouseObj* mouseObj_;
};

// Unit start-up and end: the map's class for window definitions.
void InitializeKLXSkinMaps();
void FinalizeKLXSkinMaps();

}  // namespace orv
