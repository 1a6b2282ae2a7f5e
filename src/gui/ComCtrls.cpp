#include <windows.h>
#include <commctrl.h>

#include "gui/ComCtrls.h"

namespace orv {

const TClassInfo& TProgressBar::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TProgressBar>("TProgressBar", &TWinControl::StaticClassInfo())
                                     .Integer("Min", &TProgressBar::Min, &TProgressBar::SetMin, 0)
                                     .Integer("Max", &TProgressBar::Max, &TProgressBar::SetMax, 100)
                                     .Integer("Position", &TProgressBar::Position, &TProgressBar::SetPosition, 0)
                                     .Info();
  return info;
}

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 150, 16); }

void TProgressBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.WinClassName = PROGRESS_CLASSA;
}

void TProgressBar::AfterCreateHandle() {
  ApplyRange();
  SendMessageA(Handle(), PBM_SETPOS, position_, 0);
}

void TProgressBar::SetMin(int32_t value) {
  if (value == min_) return;
  min_ = value;
  ApplyRange();
}

void TProgressBar::SetMax(int32_t value) {
  if (value == max_) return;
  max_ = value;
  ApplyRange();
}

void TProgressBar::SetPosition(int32_t value) {
  if (value == position_) return;
  position_ = value;
  if (HandleAllocated()) SendMessageA(Handle(), PBM_SETPOS, value, 0);
}

// The 16-bit range message is the one that comctl32 4.70 knows; wider ranges need 4.71.
void TProgressBar::ApplyRange() {
  if (!HandleAllocated()) return;
  if (min_ >= 0 && max_ <= 0xFFFF)
    SendMessageA(Handle(), PBM_SETRANGE, 0, MAKELPARAM(min_, max_));
  else
    SendMessageA(Handle(), PBM_SETRANGE32, min_, max_);
}

}  // namespace orv
