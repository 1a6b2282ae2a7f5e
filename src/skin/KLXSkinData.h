#pragma once
// The small objects a skinned control splits its behaviour into. On the control side a paint
// state object records the state of the control (or of one of its parts) and a mouse object
// how a drag moves other controls; on the common-data side a paint object holds the shared
// drawing settings and draws. The image selection says which strip list to draw from and
// which image each paint state shows.
#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "base/Component.h"
#include "base/Lists.h"
#include "base/Types.h"
#include "skin/KLXSkin.h"

namespace orv {

class TCanvas;

// A set of paint states, one bit each.
using TKLXSkinState = uint8_t;
enum TKLXSkinStateFlag : uint8_t { ssOff = 1, ssOn = 2, ssDisabled = 4, ssOver = 8, ssClicked = 16 };
// The image slots, in the order of TKLXImageData's indexes.
enum TKLXSkinSlot : uint8_t { slotOff, slotOn, slotDisabled, slotOver, slotClicked };
// The slot a state set shows: Disabled, else Clicked, else Over, else On, else Off.
uint8_t StateSlot(TKLXSkinState State);

class TKLXImageData : public TPersistent {
  ORV_CLASSINFO(TKLXImageData)
public:
  TKLXImageData() = default;

  const std::string& iName() const { return iName_; }
  void SetiName(const std::string& Value) { iName_ = Value; }
  // The strip list in the skin data's ImageLists; -1 for none.
  int32_t ListIndex() const { return listIndex_; }
  // Slot 0 to 4 (idxOff .. idxClicked); another slot gives -1.
  int32_t GetImageIndex(int Slot) const;
  // Slots 0 to 4 set the image indexes, slot 5 sets ListIndex; others do nothing.
  void SetImageIndex(int Slot, int32_t Value);

  int32_t idxOff() const { return slots_[slotOff]; }
  int32_t idxOn() const { return slots_[slotOn]; }
  int32_t idxDisabled() const { return slots_[slotDisabled]; }
  int32_t idxOver() const { return slots_[slotOver]; }
  int32_t idxClicked() const { return slots_[slotClicked]; }
  void SetidxOff(int32_t Value) { SetImageIndex(slotOff, Value); }
  void SetidxOn(int32_t Value) { SetImageIndex(slotOn, Value); }
  void SetidxDisabled(int32_t Value) { SetImageIndex(slotDisabled, Value); }
  void SetidxOver(int32_t Value) { SetImageIndex(slotOver, Value); }
  void SetidxClicked(int32_t Value) { SetImageIndex(slotClicked, Value); }

  void Assign(const TPersistent* Source) override;

private:
  std::string iName_;
  int32_t listIndex_ = 0;
  std::array<int32_t, 5> slots_{};
};

// ---- control side

class TKLXSkinCtrlObj : public TPersistent {
  ORV_CLASSINFO(TKLXSkinCtrlObj)
public:
  explicit TKLXSkinCtrlObj(TKLXControlSkin* Skin) : skin_(Skin) {}
  TKLXControlSkin* Skin() const { return skin_; }

private:
  TKLXControlSkin* skin_;
};

class TKLXSkinMouseObj : public TKLXSkinCtrlObj {
  ORV_CLASSINFO(TKLXSkinMouseObj)
public:
  explicit TKLXSkinMouseObj(TKLXControlSkin* Skin);
  ~TKLXSkinMouseObj() override;

  // With AddOwnControl the skin's control joins DragControls (again, if it is there).
  void EnableDrag(bool AddOwnControl);
  void DisableDrag() { dragEnabled_ = false; }

  int32_t DragStartX = 0;
  int32_t DragStartY = 0;
  bool Dragging() const { return dragging_; }
  bool DragEnabled() const { return dragEnabled_; }
  // The controls a drag moves; not owned, and a control that is freed drops out.
  TComponentList& DragControls() { return dragControls_; }

protected:
  void SetDragging(bool Value) { dragging_ = Value; }

private:
  bool dragging_ = false;
  bool dragEnabled_ = false;
  TComponentList dragControls_{false};
};

class TKLXSkinCustomPaintObj : public TKLXSkinCtrlObj {
  ORV_CLASSINFO(TKLXSkinCustomPaintObj)
public:
  using TKLXSkinCtrlObj::TKLXSkinCtrlObj;

  TKLXSkinState State() const { return state_; }
  void SetState(TKLXSkinState Value) { state_ = Value; }
  void Include(TKLXSkinState Flags) { state_ |= Flags; }
  void Exclude(TKLXSkinState Flags) { state_ &= static_cast<TKLXSkinState>(~Flags); }
  bool Has(TKLXSkinState Flag) const { return (state_ & Flag) != 0; }
  uint8_t StateIndex() const { return stateIndex_; }

  // Recomputes StateIndex from State; True when the common data shows another image in the
  // new slot than in the old one. Any error counts as no change.
  virtual bool UpdateStateIndex();

private:
  TKLXSkinState state_ = 0;
  uint8_t stateIndex_ = 0;
};

class TKLXSkinPaintObj : public TKLXSkinCustomPaintObj {
  ORV_CLASSINFO(TKLXSkinPaintObj)
public:
  using TKLXSkinCustomPaintObj::TKLXSkinCustomPaintObj;
};

// ---- common-data side

enum class TKLXSkinPaintType : uint8_t {
  ptNone,
  ptWindows,
  ptCustom,
  ptDefault,
  ptGradH,
  ptGradV,
  ptImage,
  ptImageColor,
  ptImageGradH,
  ptImageGradV
};

class TKLXSkinDataCtrlObj : public TPersistent {
  ORV_CLASSINFO(TKLXSkinDataCtrlObj)
public:
  explicit TKLXSkinDataCtrlObj(TKLXCommonDataSkin* Skin) : skin_(Skin) {}
  TKLXCommonDataSkin* Skin() const { return skin_; }

private:
  TKLXCommonDataSkin* skin_;
};

// A window message as a skinned control's handler sees it.
struct TKLXMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

class TKLXSkinDataCustomPaintObj : public TKLXSkinDataCtrlObj {
  ORV_CLASSINFO(TKLXSkinDataCustomPaintObj)
public:
  using TKLXSkinDataCtrlObj::TKLXSkinDataCtrlObj;

  // 255 is opaque.
  uint8_t Transparency() const { return transparency_; }
  void SetTransparency(uint8_t Value);
  TKLXSkinPaintType PaintType() const { return paintType_; }
  void SetPaintType(TKLXSkinPaintType Value);

  // WM_ERASEBKGND of a windowed skinned control (the DC in WParam): a see-through control
  // lets its parent paint into the DC, an opaque one paints its background. Result 1.
  virtual void HandleEraseBackground(TKLXSkinCustomPaintObj* StateObj, TKLXMessage& Message);
  virtual bool ImageChanged(int NewSlot, int OldSlot) { return false; }
  virtual void PaintBackground(TKLXSkinCustomPaintObj* StateObj, TCanvas& Canvas, bool Erasing, const TRect& Clip) {}
  virtual void PaintForeground(TKLXSkinCustomPaintObj* StateObj, TCanvas& Canvas, const TRect& Clip) {}
  virtual void PaintControl(TKLXSkinCustomPaintObj* StateObj, TCanvas& Canvas) {}

private:
  void Refresh();
  uint8_t transparency_ = 255;
  TKLXSkinPaintType paintType_ = TKLXSkinPaintType::ptWindows;
};

}  // namespace orv
