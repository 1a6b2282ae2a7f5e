#pragma once
// The form of all_controls.dfm: every control of the GUI layer in one window.
#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"

namespace guitest {

class TAllControlsForm : public orv::TForm {
  ORV_CLASSINFO(TAllControlsForm)

public:
  explicit TAllControlsForm(orv::TComponent* owner) : orv::TForm(owner) {}
  void TitleClick(orv::TObject*) { ++titleClicks; }
  void SizeBoxChange(orv::TObject*) { ++sizeChanges; }
  template <typename T>
  T* Find(const char* name) const {
    return dynamic_cast<T*>(FindComponent(name));
  }

  int titleClicks = 0;
  int sizeChanges = 0;
};

}  // namespace guitest
