#include "wizard_env.h"

#include <gtest/gtest.h>

#include "gui/Forms.h"
#include "shell/KLShellCtrls.h"
#include "sys/KLSysUtils.h"
#include "units_env.h"

namespace wizardtest {

std::vector<TBox> gBoxes;
std::vector<std::function<int32_t(const TBox&)>> gAnswers;

namespace {

int32_t ScriptedBox(const std::string& msg, const std::string&, int32_t icon, int32_t defaultButton,
                    std::span<const orv::TKLMsgButton> buttons) {
  TBox box{msg, icon, defaultButton, {}};
  for (const orv::TKLMsgButton& b : buttons) box.Results.push_back(b.ModalResult);
  gBoxes.push_back(box);
  if (gAnswers.empty()) return box.Results.at(static_cast<size_t>(defaultButton));
  auto answer = gAnswers.front();
  gAnswers.erase(gAnswers.begin());
  return answer(box);
}

// The units as the program starts them, with its English texts; message boxes answered here.
[[maybe_unused]] auto* const kUnits = testsupport::AddUnitsEnvironment(
    {.Application = true, .Title = "Orvasil", .English = true}, [] { orv::MessageBoxProc = ScriptedBox; },
    [] { orv::MessageBoxProc = orv::ShowMessageBox; });

}  // namespace

void AnswerWith(int32_t result) {
  gAnswers.push_back([result](const TBox&) { return result; });
}

orv::TShredForm* Wizard() {
  if (!orv::ShredForm) {
    // The main window comes first, as in the program: closing it ends the program, closing
    // the wizard only hides it.
    orv::TForm* main = nullptr;
    orv::Application->CreateForm(main);
    orv::TShredForm* form = nullptr;
    orv::Application->CreateForm(form);
    form->Show();
    Pump();
  }
  return orv::ShredForm;
}

void Pump() {
  for (int i = 0; i < 3; ++i) {
    orv::Application->ProcessMessages();
    Sleep(10);
  }
}

std::string CardRoot() { return std::string(1, CardLetter()) + ":\\"; }

bool Win98Mode() {
  OSVERSIONINFOA v{};
  v.dwOSVersionInfoSize = sizeof v;
  GetVersionExA(&v);
  return v.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

void PickCard() {
  orv::TShredForm* w = Wizard();
  const int index = w->DriveBox->ShownDrives().IndexOf(CardRoot());
  ASSERT_GE(index, 0) << "the card's drive is not offered";
  w->DriveBox->SetItemIndex(index);
  w->DriveBox->Change();
  ASSERT_EQ(w->DriveBox->GetSelectedDrive(), CardRoot());
}

}  // namespace wizardtest
