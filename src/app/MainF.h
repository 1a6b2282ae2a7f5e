#pragma once
// The main window. For now a plain form with the product title.
#include "gui/Forms.h"

namespace orv {

class TMainForm : public TForm {
  ORV_CLASSINFO(TMainForm)

public:
  explicit TMainForm(TComponent* owner);
};

}  // namespace orv
