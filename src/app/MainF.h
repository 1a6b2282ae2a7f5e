#pragma once
// The main window. For now a plain form with the product title.
#include "gui/Forms.h"

namespace orv {

class TMainForm : public TForm {
public:
  explicit TMainForm(TComponent* owner);
  std::string ClassName() const override { return "TMainForm"; }
};

}  // namespace orv
