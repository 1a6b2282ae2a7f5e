#include <gtest/gtest.h>

#include "app/MainF.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "gui_env.h"
#include "lang/KLXLang.h"
#include "skin/KLClasses.h"
#include "skin/KLXImgList.h"
#include "skin/KLXSkin.h"
#include "skin/KLXSkinMaps.h"
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
  EXPECT_EQ(form->BorderStyle(), TFormBorderStyle::bsNone);
  EXPECT_EQ(form->ClientWidth(), 625);
  EXPECT_EQ(form->ClientHeight(), 437);
  EXPECT_EQ(form->lgStream->BinStream()->ToString(), testsupport::EnglishText())
      << "the stored stream carries the language file byte for byte";
  EXPECT_EQ(GlobalLanguage->GetWord("CapFinished"), "Finished");
  EXPECT_EQ(YesNoButtons[0].Caption, "Yes") << "loading ran the registered callbacks";
  EXPECT_EQ(YesNoButtons[1].Caption, "No");
  delete form;
  GlobalLanguage->Clear();
}

// The five pictures, the two strip lists the maps draw from (the third image of list 1 is the
// cover with the programs panel over its bottom), and each map's image selection.
TEST(FormDefinition, TheMainWindowBuildsItsStripListsFromTheImageCollection) {
  const int listsBefore = GlobalSkinData->ImageLists().Count();
  TMainForm* form = nullptr;
  Application->CreateForm(form);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->AllImages->Images().Count(), 5);
  EXPECT_EQ(form->AllImages->PixelFormat(), pf24bit);
  ASSERT_EQ(GlobalSkinData->ImageLists().Count(), listsBefore + 2);
  TKLXBmpImages* topBar = GlobalSkinData->ImageLists().Items(listsBefore);
  TKLXBmpImages* cover = GlobalSkinData->ImageLists().Items(listsBefore + 1);
  ASSERT_EQ(topBar->ImageCount(), 2);
  ASSERT_EQ(cover->ImageCount(), 3);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(topBar->ImageWidth(i), 625);
    EXPECT_EQ(topBar->ImageHeight(i), 24);
  }
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(cover->ImageWidth(i), 625);
    EXPECT_EQ(cover->ImageHeight(i), 413);
  }
  // Above row 257 the composed picture is the cover; below it, the programs panel.
  TCanvas& strip = cover->StripBitmap().Canvas();
  const TRect plain = cover->ImageRects(0), composed = cover->ImageRects(2);
  EXPECT_EQ(strip.Pixels(plain.Left + 300, 100), strip.Pixels(composed.Left + 300, 100));
  int differing = 0;
  for (int x = 0; x < 625; x += 25)
    differing += strip.Pixels(plain.Left + x, 380) != strip.Pixels(composed.Left + x, 380);
  EXPECT_GT(differing, 5);

  auto* programs = dynamic_cast<TKLXSkinMap*>(form->FindComponent("ProgramsMap"));
  ASSERT_NE(programs, nullptr);
  EXPECT_EQ(programs->Top(), 24) << "moved to the cover's place";
  EXPECT_FALSE(programs->Visible());
  EXPECT_EQ(programs->Images()->ListIndex(), 1);
  EXPECT_EQ(programs->Images()->idxOff(), 2);
  EXPECT_EQ(form->CoverMap->Images()->idxOver(), 1);
  EXPECT_EQ(form->TopMap->Images()->ListIndex(), 0);
  EXPECT_NE(form->TopMap->Images(), form->CoverMap->Images()) << "each map has its own selection";
  EXPECT_EQ(form->TopMap->Areas().Count(), 4);
  EXPECT_EQ(form->TopMap->Cursor(), 1);
  delete form;
  EXPECT_EQ(GlobalSkinData->ImageLists().Count(), listsBefore) << "the window's lists go with it";
  GlobalLanguage->Clear();
}

}  // namespace
