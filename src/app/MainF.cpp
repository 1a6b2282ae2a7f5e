#include "app/MainF.h"

#include "lang/KLXLang.h"
#include "skin/KLClasses.h"

namespace orv {

const TClassInfo& TMainForm::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TMainForm>("TMainForm", &TForm::StaticClassInfo())
                                     .Method("FormCreate", &TMainForm::FormCreate)
                                     .Info();
  return info;
}

TMainForm::TMainForm(TComponent* owner) : TForm(owner) {}

TKLStoredStream* TMainForm::lgStream() const { return dynamic_cast<TKLStoredStream*>(FindComponent("lgStream")); }

void TMainForm::FormCreate(TObject*) {
  if (TKLStoredStream* lg = lgStream()) {
    lg->BinStream()->SetPosition(0);
    GlobalLanguage->LoadText(*lg->BinStream());
  }
}

}  // namespace orv
