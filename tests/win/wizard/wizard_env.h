#pragma once
// Shared by the wizard's tests: the program's units and English texts in this process, the
// wizard made from its window definition, message boxes answered by the test, and the card
// of scripts/lib/vcard.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "test_files.h"
#include "wizard/ShredF.h"

namespace wizardtest {

constexpr uint8_t kFill = 0xA5;

// A message box the wizard showed, and how it was answered.
struct TBox {
  std::string Text;
  int32_t Icon = 0;
  int32_t DefaultButton = 0;
  std::vector<int32_t> Results;  // the buttons' modal results
};
extern std::vector<TBox> gBoxes;
// Answers for the next boxes, in order; with none left a box takes its default button, as
// Enter would.
extern std::vector<std::function<int32_t(const TBox&)>> gAnswers;
void AnswerWith(int32_t result);

// The wizard, made once per test program and shown.
orv::TShredForm* Wizard();
void Pump();

// The card (CardLetter, ReadCardImage, FirstNot) and paths (WinPath) come from tests/support.
using testsupport::CardLetter;
using testsupport::FirstNot;
using testsupport::ReadCardImage;
using testsupport::WinPath;
std::string CardRoot();  // "E:\"
bool Win98Mode();
// Selects the card in the picker as the user would.
void PickCard();

}  // namespace wizardtest
