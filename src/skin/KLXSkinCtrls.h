#pragma once
// The windowless base of skinned controls, and the process-wide arrow images.
#include "gui/Controls.h"
#include "skin/KLXImgList.h"
#include "skin/KLXSkin.h"

namespace orv {

class TKLXSkinGraphicControl : public TGraphicControl {
  ORV_CLASSINFO(TKLXSkinGraphicControl)
public:
  explicit TKLXSkinGraphicControl(TComponent* owner);
  ~TKLXSkinGraphicControl() override;

  TKLXControlSkin* Skin() const { return skin_; }
  // A skin data that goes away leaves the control with GlobalSkinData.
  void Notification(TComponent* Component, TOperation Operation) override;

private:
  TKLXControlSkin* skin_;
};

// Left, right, left-right held, up, down and up-down held arrows, 15 x 15 on magenta, from
// the program's bitmap resources. Not rebuilt: nothing draws from it yet.
extern TKLXBmpImages* ArrowImages;

// Unit start-up and end: ArrowImages.
void InitializeKLXSkinCtrls();
void FinalizeKLXSkinCtrls();

}  // namespace orv
