// The end of the program as the entry point runs it: a form that still uses the process-wide
// objects while it goes must find them alive. Its own program, so that the units start and
// end here and nowhere else.
#include <gtest/gtest.h>

#include "app/Units.h"
#include "gui/Forms.h"
#include "lang/KLXLang.h"
#include "sys/KLSysUtils.h"

using namespace orv;

namespace {

class LanguageForm : public TForm {
public:
  explicit LanguageForm(TComponent* owner) : TForm(owner) {
    entry_ = RegisterLanguageMethod([this] { SetCaption(GlobalLanguage->GetWord("CapOK")); });
    OnDestroy = [this](TObject*) { FormDestroy(); };
  }
  static inline bool languageAlive = false;
  static inline bool fontsAlive = false;
  static inline std::string lastWord = "unset";

private:
  void FormDestroy() {
    languageAlive = GlobalLanguage != nullptr && LanguageInitList != nullptr;
    fontsAlive = MessageFont != nullptr && CaptionFont != nullptr;
    if (!languageAlive) return;
    UnregisterLanguageInit(entry_);
    lastWord = GlobalLanguage->GetWord("NoSuchKey");
  }
  TMethodObject* entry_;
};

TEST(UnitEnd, AFormThatUnregistersItsLanguageMethodInOnDestroyEndsCleanly) {
  InitializeUnits();
  LanguageForm* form = nullptr;
  Application->CreateForm(form);
  form->Show();
  FinalizeUnits();
  EXPECT_TRUE(LanguageForm::languageAlive) << "the language table went before the windows";
  EXPECT_TRUE(LanguageForm::fontsAlive) << "the fonts went before the windows";
  EXPECT_EQ(LanguageForm::lastWord, "");
  EXPECT_EQ(Application, nullptr);
  EXPECT_EQ(GlobalLanguage, nullptr);
}

}  // namespace
