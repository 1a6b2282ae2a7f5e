#include "all_controls_form.h"

namespace guitest {

const orv::TClassInfo& TAllControlsForm::StaticClassInfo() {
  static const orv::TClassInfo info =
      orv::TClassBuilder<TAllControlsForm>("TAllControlsForm", &orv::TForm::StaticClassInfo())
          .Method("TitleClick", &TAllControlsForm::TitleClick)
          .Method("SizeBoxChange", &TAllControlsForm::SizeBoxChange)
          .Info();
  return info;
}

}  // namespace guitest
