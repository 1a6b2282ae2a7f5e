#include "skin/KLXSkinData.h"

#include "gui/Controls.h"
#include "gui/Graphics.h"
#include "win/Handles.h"

namespace orv {

namespace {
const std::vector<std::string> kPaintTypeNames = {"ptNone",       "ptWindows",   "ptCustom", "ptDefault",
                                                  "ptGradH",      "ptGradV",     "ptImage",  "ptImageColor",
                                                  "ptImageGradH", "ptImageGradV"};
}  // namespace

uint8_t StateSlot(TKLXSkinState State) {
  if (State & ssDisabled) return slotDisabled;
  if (State & ssClicked) return slotClicked;
  if (State & ssOver) return slotOver;
  if (State & ssOn) return slotOn;
  return slotOff;
}

// ---- TKLXImageData

const TClassInfo& TKLXImageData::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLXImageData>("TKLXImageData", &TPersistent::StaticClassInfo())
          .String("iName", &TKLXImageData::iName, &TKLXImageData::SetiName)
          .Integer("idxOff", &TKLXImageData::idxOff, &TKLXImageData::SetidxOff, 0)
          .Integer("idxOn", &TKLXImageData::idxOn, &TKLXImageData::SetidxOn, 0)
          .Integer("idxDisabled", &TKLXImageData::idxDisabled, &TKLXImageData::SetidxDisabled, 0)
          .Integer("idxOver", &TKLXImageData::idxOver, &TKLXImageData::SetidxOver, 0)
          .Integer("idxClicked", &TKLXImageData::idxClicked, &TKLXImageData::SetidxClicked, 0)
          .Info();
  return info;
}

int32_t TKLXImageData::GetImageIndex(int Slot) const {
  return Slot >= 0 && Slot < static_cast<int>(slots_.size()) ? slots_[static_cast<size_t>(Slot)] : -1;
}

void TKLXImageData::SetImageIndex(int Slot, int32_t Value) {
  if (Slot == 5)
    listIndex_ = Value;
  else if (Slot >= 0 && Slot < static_cast<int>(slots_.size()))
    slots_[static_cast<size_t>(Slot)] = Value;
}

void TKLXImageData::Assign(const TPersistent* Source) {
  const auto* other = dynamic_cast<const TKLXImageData*>(Source);
  if (!other) return TPersistent::Assign(Source);
  iName_ = other->iName_;
  listIndex_ = other->listIndex_;
  slots_ = other->slots_;
}

// ---- control side

const TClassInfo& TKLXSkinCtrlObj::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLXSkinCtrlObj>("TKLXSkinCtrlObj", &TPersistent::StaticClassInfo()).Info();
  return info;
}

const TClassInfo& TKLXSkinMouseObj::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLXSkinMouseObj>("TKLXSkinMouseObj", &TKLXSkinCtrlObj::StaticClassInfo()).Info();
  return info;
}

TKLXSkinMouseObj::TKLXSkinMouseObj(TKLXControlSkin* Skin) : TKLXSkinCtrlObj(Skin) {}

TKLXSkinMouseObj::~TKLXSkinMouseObj() { DisableDrag(); }

void TKLXSkinMouseObj::EnableDrag(bool AddOwnControl) {
  if (AddOwnControl && Skin() && Skin()->Control()) dragControls_.Add(Skin()->Control());
  dragEnabled_ = true;
}

const TClassInfo& TKLXSkinCustomPaintObj::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLXSkinCustomPaintObj>("TKLXSkinCustomPaintObj", &TKLXSkinCtrlObj::StaticClassInfo()).Info();
  return info;
}

bool TKLXSkinCustomPaintObj::UpdateStateIndex() {
  const uint8_t old = stateIndex_;
  stateIndex_ = StateSlot(state_);
  try {
    TKLXCommonData* data = Skin() ? Skin()->CommonData() : nullptr;
    return data && data->ImageChanged(stateIndex_, old);
  } catch (...) {
    return false;
  }
}

const TClassInfo& TKLXSkinPaintObj::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLXSkinPaintObj>("TKLXSkinPaintObj", &TKLXSkinCustomPaintObj::StaticClassInfo()).Info();
  return info;
}

// ---- common-data side

const TClassInfo& TKLXSkinDataCtrlObj::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLXSkinDataCtrlObj>("TKLXSkinDataCtrlObj", &TPersistent::StaticClassInfo()).Info();
  return info;
}

const TClassInfo& TKLXSkinDataCustomPaintObj::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLXSkinDataCustomPaintObj>("TKLXSkinDataCustomPaintObj", &TKLXSkinDataCtrlObj::StaticClassInfo())
          .Integer("Transparency", &TKLXSkinDataCustomPaintObj::Transparency,
                   &TKLXSkinDataCustomPaintObj::SetTransparency, 255)
          .Enum("PaintType", &TKLXSkinDataCustomPaintObj::PaintType, &TKLXSkinDataCustomPaintObj::SetPaintType,
                kPaintTypeNames, static_cast<int64_t>(TKLXSkinPaintType::ptWindows))
          .Info();
  return info;
}

void TKLXSkinDataCustomPaintObj::SetTransparency(uint8_t Value) {
  if (Value == transparency_) return;
  transparency_ = Value;
  Refresh();
}

void TKLXSkinDataCustomPaintObj::SetPaintType(TKLXSkinPaintType Value) {
  if (Value == paintType_) return;
  paintType_ = Value;
  Refresh();
}

void TKLXSkinDataCustomPaintObj::Refresh() {
  if (Skin()) Skin()->RefreshControls(true);
}

void TKLXSkinDataCustomPaintObj::HandleEraseBackground(TKLXSkinCustomPaintObj* StateObj, TKLXMessage& Message) {
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  if (!dc) return;
  // Erased, whichever way this ends.
  Message.Result = 1;
  TSavedDC saved(dc);
  TControl* control = StateObj && StateObj->Skin() ? StateObj->Skin()->Control() : nullptr;
  if (transparency_ != 255) {
    TWinControl* parent = control ? control->Parent() : nullptr;
    if (!parent || !parent->HandleAllocated()) return;
    const POINT p = parent->ScreenToClient(control->ClientToScreen(POINT{0, 0}));
    OffsetViewportOrgEx(dc, -p.x, -p.y, nullptr);
    // The parent's erase handling also paints its windowless children into a DC it did not
    // begin painting itself.
    SendMessageA(parent->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  } else if (paintType_ != TKLXSkinPaintType::ptNone) {
    TCanvas canvas(dc);
    PaintBackground(StateObj, canvas, true, canvas.ClipRect());
    canvas.SetHandle(nullptr);
  }
}

}  // namespace orv
