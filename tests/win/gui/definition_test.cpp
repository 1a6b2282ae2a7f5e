#include <gtest/gtest.h>

#include "app/MainF.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "gui_env.h"
#include "lang/KLXLang.h"
#include "skin/KLClasses.h"
#include "sys/KLSysUtils.h"

using namespace orv;

namespace {

class TDefinedForm : public TForm {
  ORV_CLASSINFO(TDefinedForm)

public:
  explicit TDefinedForm(TComponent* owner) : TForm(owner) {}
  void FormCreate(TObject*) { createdWithButtons = FindComponent("OkBtn") != nullptr; }
  void FormCloseQuery(TObject*, bool& canClose) { canClose = ++closeQueries > 1; }
  void OkBtnClick(TObject*) { ++okClicks; }

  bool createdWithButtons = false;
  int closeQueries = 0;
  int okClicks = 0;
};

const TClassInfo& TDefinedForm::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TDefinedForm>("TDefinedForm", &TForm::StaticClassInfo())
                                     .Method("FormCreate", &TDefinedForm::FormCreate)
                                     .Method("FormCloseQuery", &TDefinedForm::FormCloseQuery)
                                     .Method("OkBtnClick", &TDefinedForm::OkBtnClick)
                                     .Info();
  return info;
}

TEST(FormDefinition, CreateFormReadsTheDefinitionNamedAfterTheClass) {
  TDefinedForm* form = nullptr;
  Application->CreateForm(form);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Name(), "DefinedForm");
  EXPECT_EQ(form->Caption(), "Defined");
  EXPECT_EQ(form->BorderStyle(), TFormBorderStyle::bsDialog);
  EXPECT_EQ(form->ClientWidth(), 240) << "the client size survives the border style read after it";
  EXPECT_EQ(form->ClientHeight(), 90);
  EXPECT_TRUE(form->createdWithButtons) << "OnCreate runs once the definition was read";
  EXPECT_FALSE(form->HasState(csLoading));

  auto* label = dynamic_cast<TLabel*>(form->FindComponent("InfoLabel"));
  auto* ok = dynamic_cast<TButton*>(form->FindComponent("OkBtn"));
  auto* cancel = dynamic_cast<TButton*>(form->FindComponent("CancelBtn"));
  ASSERT_TRUE(label && ok && cancel);
  EXPECT_EQ(label->Parent(), form);
  EXPECT_TRUE(label->WordWrap());
  EXPECT_EQ(label->Font().Name(), "Arial");
  EXPECT_EQ(ok->Font().Name(), "Tahoma") << "a control takes its form's font";
  EXPECT_EQ(ok->Font().Style(), fsBold);
  EXPECT_TRUE(ok->Default());
  EXPECT_TRUE(cancel->Cancel());
  EXPECT_EQ(cancel->TabOrder(), 0);
  EXPECT_EQ(ok->TabOrder(), 1);

  guitest::RunFromMessageLoop([&] {
    PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
    guitest::RunFromMessageLoop([&] {
      ok->SetFocus();
      PostMessageA(ok->Handle(), WM_KEYDOWN, VK_RETURN, 0);
    });
  });
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_EQ(form->okClicks, 1) << "OnClick bound by name";
  EXPECT_EQ(form->closeQueries, 2) << "the first close was refused";
  delete form;
  EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST(FormDefinition, AFormWithoutADefinitionIsBuiltInCode) {
  TForm* form = nullptr;
  Application->CreateForm(form);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->ComponentCount(), 0);
  EXPECT_EQ(Application->MainForm(), form);
  delete form;
}

TEST(FormDefinition, TheMainWindowIsReadFromTheProgramAndLoadsItsLanguageText) {
  EXPECT_EQ(YesNoButtons[0].Caption, "") << "nothing loaded before the main window";
  TMainForm* form = nullptr;
  Application->CreateForm(form);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Caption(), "Orvasil");
  EXPECT_EQ(form->BorderStyle(), TFormBorderStyle::bsSingle);
  ASSERT_NE(form->lgStream(), nullptr);
  EXPECT_EQ(form->lgStream()->BinStream()->ToString(), guitest::ReadUnixFile(ORVASIL_ENGLISH_UNIX))
      << "the stored stream carries the language file byte for byte";
  EXPECT_EQ(GlobalLanguage->GetWord("CapFinished"), "Finished");
  EXPECT_EQ(YesNoButtons[0].Caption, "Yes") << "loading ran the registered callbacks";
  EXPECT_EQ(YesNoButtons[1].Caption, "No");
  delete form;
  GlobalLanguage->Clear();
}

}  // namespace
