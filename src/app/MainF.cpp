#include <windows.h>

#include "app/MainF.h"

namespace orv {

const TClassInfo& TMainForm::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TMainForm>("TMainForm", &TForm::StaticClassInfo()).Info();
  return info;
}

TMainForm::TMainForm(TComponent* owner) : TForm(owner) {
  SetCaption("Orvasil");
  SetBorderStyle(TFormBorderStyle::bsSingle);
  SetBorderIcons(biSystemMenu | biMinimize);
  SetPosition(TPosition::poScreenCenter);
  SetClientWidth(400);
  SetClientHeight(300);
}

}  // namespace orv
