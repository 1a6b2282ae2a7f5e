#pragma once
// Common controls of the system's comctl32: the progress bar.
#include <windows.h>

#include "gui/Controls.h"

namespace orv {

// Position runs from Min to Max. Setting a value it already has sends the window nothing, so
// a caller may set it for every block of work without repainting.
class TProgressBar : public TWinControl {
  ORV_CLASSINFO(TProgressBar)

public:
  explicit TProgressBar(TComponent* owner);
  int32_t Min() const { return min_; }
  void SetMin(int32_t value);
  int32_t Max() const { return max_; }
  void SetMax(int32_t value);
  int32_t Position() const { return position_; }
  void SetPosition(int32_t value);

protected:
  void CreateParams(TCreateParams& params) override;
  void AfterCreateHandle() override;
  bool TakesFocus() const override { return false; }

private:
  void ApplyRange();
  int32_t min_ = 0;
  int32_t max_ = 100;
  int32_t position_ = 0;
};

}  // namespace orv
