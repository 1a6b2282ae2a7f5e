#include <windows.h>

#include "app/MainF.h"

namespace orv {

TMainForm::TMainForm(TComponent* owner) : TForm(owner) {
  SetCaption("Orvasil");
  SetBorderStyle(TFormBorderStyle::bsSingle);
  SetBorderIcons(biSystemMenu | biMinimize);
  SetPosition(TPosition::poScreenCenter);
  SetClientWidth(400);
  SetClientHeight(300);
}

}  // namespace orv
