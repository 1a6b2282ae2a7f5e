#include "app/MainF.h"

#include "gui/StdCtrls.h"
#include "lang/KLXLang.h"
#include "skin/KLClasses.h"
#include "sys/KLSysUtils.h"
#include "wizard/ShredF.h"

namespace orv {

const TClassInfo& TMainForm::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TMainForm>("TMainForm", &TForm::StaticClassInfo())
                                     .Method("FormCreate", &TMainForm::FormCreate)
                                     .Method("FormDestroy", &TMainForm::FormDestroy)
                                     .Method("FormCloseQuery", &TMainForm::FormCloseQuery)
                                     .Method("EraseBtnClick", &TMainForm::EraseBtnClick)
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
  languageLink_ = RegisterLanguageMethod(this, &TMainForm::ApplyLanguage);
}

void TMainForm::FormDestroy(TObject*) {
  UnregisterLanguageInit(languageLink_);
  languageLink_ = nullptr;
}

void TMainForm::ApplyLanguage() {
  if (auto* button = dynamic_cast<TButton*>(FindComponent("EraseBtn")))
    button->SetCaption(GlobalLanguage->GetWord("CapEraseMemoryCard"));
}

void TMainForm::EraseBtnClick(TObject*) { ShowShredForm(); }

void TMainForm::ShowShredForm() {
  if (!ShredForm) {
    TShredForm* form = nullptr;
    Application->CreateForm(form);
  }
  if (CurrentPage == pgAbout) ShredForm->RestartBtn->Click();
  if (ShredForm->WindowState() == TWindowState::wsMinimized) ShredForm->SetWindowState(TWindowState::wsNormal);
  ShredForm->Show();
  ShredForm->BringToFront();
}

void TMainForm::FormCloseQuery(TObject*, bool& canClose) {
  if (!ShredForm || !ShredForm->Visible()) return;
  canClose = false;
  MessageBoxProc(GlobalLanguage->GetWord("MsgCannotExitWhileRecoveryActive"), std::string(), 32515, 0, OkButtons);
  ShowShredForm();
}

}  // namespace orv
