#include "wizard_env.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/Units.h"
#include "base/Streams.h"
#include "gui/Forms.h"
#include "lang/KLXLang.h"
#include "shell/KLShellCtrls.h"
#include "sys/KLSysUtils.h"

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

class WizardEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    orv::InitializeUnits();
    orv::Application->Initialize();
    orv::Application->SetTitle("Orvasil");
    const std::string text = ReadFileText(WinPath(ORVASIL_ENGLISH_UNIX));
    ASSERT_FALSE(text.empty());
    orv::TMemoryStream stream;
    stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    stream.SetPosition(0);
    orv::GlobalLanguage->LoadText(stream);
    orv::MessageBoxProc = ScriptedBox;
  }
  void TearDown() override {
    orv::MessageBoxProc = orv::ShowMessageBox;
    orv::FinalizeUnits();
  }
};

[[maybe_unused]] auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new WizardEnvironment);

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

char CardLetter() {
  const char* letter = std::getenv("ORVASIL_CARD_LETTER");
  return letter ? letter[0] : 'E';
}

std::string CardRoot() { return std::string(1, CardLetter()) + ":\\"; }

bool Win98Mode() {
  OSVERSIONINFOA v{};
  v.dwOSVersionInfoSize = sizeof v;
  GetVersionExA(&v);
  return v.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

std::string ImagePath() {
  const char* unix = std::getenv("ORVASIL_CARD_IMAGE");
  return WinPath(unix ? unix : "");
}

std::vector<uint8_t> ReadImage() {
  std::ifstream in(ImagePath(), std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

int64_t FirstNot(const std::vector<uint8_t>& image, int64_t from, int64_t to, uint8_t value) {
  auto it = std::find_if(image.begin() + from, image.begin() + to, [value](uint8_t b) { return b != value; });
  return it == image.begin() + to ? -1 : it - image.begin();
}

void PickCard() {
  orv::TShredForm* w = Wizard();
  const int index = w->DriveBox->ShownDrives().IndexOf(CardRoot());
  ASSERT_GE(index, 0) << "the card's drive is not offered";
  w->DriveBox->SetItemIndex(index);
  w->DriveBox->Change();
  ASSERT_EQ(w->DriveBox->GetSelectedDrive(), CardRoot());
}

std::string WinPath(const std::string& unixPath) {
  std::string s = "Z:" + unixPath;
  std::replace(s.begin(), s.end(), '/', '\\');
  return s;
}

std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace wizardtest
