#include <gtest/gtest.h>

#include <stdexcept>

#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "gui_env.h"
#include "lang/KLXLang.h"
#include "sys/KLSysUtils.h"

using namespace orv;

namespace {

TForm* ModalForm() {
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (Screen->Forms(i)->Modal()) return Screen->Forms(i);
  return nullptr;
}

template <typename T>
T* Find(TForm* form, const char* name) {
  return dynamic_cast<T*>(form->FindComponent(name));
}

int32_t TextWidthIn(TFont* font, const std::string& text) {
  TCanvas canvas;
  canvas.Font().Assign(font);
  return canvas.TextWidth(text);
}

struct Snapshot {
  bool found = false;
  std::string caption;
  RECT client{};
  int32_t left = 0, top = 0, width = 0, height = 0;
  RECT label{}, image{};
  bool hasImage = false;
  std::string labelText;
  std::vector<RECT> buttons;
  std::vector<std::string> captions;
  std::vector<bool> isDefault, isCancel;
  std::vector<int> tabOrder;
  HWND focused = nullptr;
  std::vector<HWND> buttonHandles;
};

Snapshot Take(TForm* form) {
  Snapshot s;
  if (!form) return s;
  s.found = true;
  s.caption = form->Caption();
  GetClientRect(form->Handle(), &s.client);
  s.left = form->Left();
  s.top = form->Top();
  s.width = form->Width();
  s.height = form->Height();
  if (auto* l = Find<TLabel>(form, "MessageLabel")) {
    s.label = l->BoundsRect();
    s.labelText = l->Caption();
  }
  if (auto* img = Find<TImage>(form, "IconImage")) {
    s.hasImage = true;
    s.image = img->BoundsRect();
  }
  for (int i = 0;; ++i) {
    auto* b = Find<TButton>(form, ("Button" + std::to_string(i)).c_str());
    if (!b) break;
    s.buttons.push_back(b->BoundsRect());
    s.captions.push_back(b->Caption());
    s.isDefault.push_back(b->Default());
    s.isCancel.push_back(b->Cancel());
    s.tabOrder.push_back(b->TabOrder());
    s.buttonHandles.push_back(b->Handle());
  }
  s.focused = GetFocus();
  return s;
}

// Shows the box, takes its picture from inside the modal loop and closes it by its close box.
Snapshot ShowAndClose(const std::string& msg, const std::string& caption, int32_t icon, int32_t def,
                      std::span<const TKLMsgButton> buttons, int32_t* result = nullptr) {
  Snapshot s;
  guitest::RunFromMessageLoop([&] {
    TForm* f = ModalForm();
    s = Take(f);
    if (f) PostMessageA(f->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  });
  int32_t r = ShowMessageBox(msg, caption, icon, def, buttons);
  if (result) *result = r;
  return s;
}

class MessageBoxTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(testsupport::LoadEnglish()) << "english.lng not found";
    Application->SetTitle("Orvasil");
  }
};

TEST_F(MessageBoxTest, YesNoWithWarningIconHasTheMeasuredLayoutAt96Dpi) {
  if (Screen->PixelsPerInch() != 96) GTEST_SKIP() << "layout figures are for 96 dots per inch";
  const std::string msg = GlobalLanguage->GetWord("MsgConfirmEraseCard");
  int32_t result = 0;
  Snapshot s = ShowAndClose(msg, "", 32515, 1, YesNoButtons, &result);
  ASSERT_TRUE(s.found);
  EXPECT_EQ(result, mrCancel) << "the close box answers 2, neither Yes nor No";

  TCanvas canvas;
  canvas.Font().Assign(MessageFont);
  const SIZE m = canvas.TextExtent("M");
  const int32_t horzMargin = MulDiv(8, m.cx, 4), vertMargin = MulDiv(8, m.cy, 8);
  const int32_t horzSpacing = MulDiv(10, m.cx, 4), vertSpacing = MulDiv(10, m.cy, 8);
  RECT text{0, 0, Screen->Width() / 2, 0};
  canvas.DrawText(msg, text, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);

  EXPECT_EQ(s.caption, "Orvasil") << "an empty caption shows the application title";
  ASSERT_TRUE(s.hasImage);
  EXPECT_EQ(s.image.left, horzMargin);
  EXPECT_EQ(s.image.top, vertMargin);
  EXPECT_EQ(s.image.right - s.image.left, 32);
  EXPECT_EQ(s.image.bottom - s.image.top, 32);

  EXPECT_EQ(s.labelText, msg);
  EXPECT_NE(s.labelText.find("\r\n"), std::string::npos);
  EXPECT_EQ(s.label.left, horzMargin + horzSpacing + 32);
  EXPECT_EQ(s.label.right - s.label.left, text.right);
  const int32_t labelHeight = text.bottom;
  EXPECT_EQ(s.label.top, vertMargin + (labelHeight < 32 ? (32 - labelHeight) / 2 : 0));

  ASSERT_EQ(s.buttons.size(), 2u);
  EXPECT_EQ(s.captions, (std::vector<std::string>{"Yes", "No"}));
  const int32_t messageHeight = std::max<int32_t>(text.bottom, 32);
  const int32_t messageWidth = text.right + horzSpacing + 32;
  const int32_t buttonsWidth = 2 * 75 + 7;
  const int32_t titleWidth = TextWidthIn(CaptionFont, "Orvasil") + 2 * CaptionButtonWidth;
  const int32_t clientWidth = std::max(titleWidth, std::max(messageWidth, buttonsWidth) + 2 * horzMargin);
  EXPECT_EQ(s.client.right, clientWidth);
  EXPECT_EQ(s.client.bottom, messageHeight + 25 + vertSpacing + 2 * vertMargin);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(s.buttons[i].right - s.buttons[i].left, 75);
    EXPECT_EQ(s.buttons[i].bottom - s.buttons[i].top, 25);
    EXPECT_EQ(s.buttons[i].top, messageHeight + vertMargin + vertSpacing);
  }
  EXPECT_EQ(s.buttons[0].left, (clientWidth - buttonsWidth) / 2);
  EXPECT_EQ(s.buttons[1].left, s.buttons[0].left + 75 + 7);

  EXPECT_EQ(s.left, Screen->Width() / 2 - s.width / 2);
  EXPECT_EQ(s.top, Screen->Height() / 2 - s.height / 2);

  EXPECT_EQ(s.isDefault, (std::vector<bool>{false, true}));
  EXPECT_EQ(s.tabOrder[1], 0) << "the default button comes first in the tab order";
  EXPECT_EQ(s.isCancel, (std::vector<bool>{false, false}));
  EXPECT_EQ(s.focused, s.buttonHandles[1]);
}

TEST_F(MessageBoxTest, OneLongButtonCaptionWidensEveryButtonEqually) {
  const std::string longCaption = "Overwrite everything on the card now";
  const TKLMsgButton buttons[] = {{longCaption, mrOk}, {"No", mrNo}, {"Cancel", mrCancel}};
  Snapshot s = ShowAndClose("Short.", "", 0, 0, buttons);
  ASSERT_EQ(s.buttons.size(), 3u);
  const int32_t spacing = MulDiv(7, Screen->PixelsPerInch(), 96);
  const int32_t expected = TextWidthIn(MessageFont, longCaption) + 4 * spacing;
  ASSERT_GT(expected, MulDiv(75, Screen->PixelsPerInch(), 96));
  for (const RECT& r : s.buttons) EXPECT_EQ(r.right - r.left, expected);
  EXPECT_EQ(s.buttons[1].left - s.buttons[0].left, expected + spacing);
  EXPECT_EQ(s.buttons[2].left - s.buttons[1].left, expected + spacing);
  EXPECT_EQ(s.isCancel, (std::vector<bool>{false, false, true}));
  EXPECT_FALSE(s.hasImage);
}

TEST_F(MessageBoxTest, ACaptionWiderThanTheMessageWidensTheBox) {
  const std::string caption = "A caption much wider than the message below it, really";
  Snapshot s = ShowAndClose("Hi", caption, 0, 0, OkButtons);
  ASSERT_TRUE(s.found);
  EXPECT_EQ(s.caption, caption);
  EXPECT_EQ(s.client.right, TextWidthIn(CaptionFont, caption) + 2 * CaptionButtonWidth);
}

TEST_F(MessageBoxTest, EnterPressesTheDefaultButton) {
  guitest::RunFromMessageLoop([] { PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0); });
  EXPECT_EQ(ShowMessageBox("Erase?", "", 32514, 1, YesNoButtons), mrNo);
  guitest::RunFromMessageLoop([] { PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0); });
  EXPECT_EQ(ShowMessageBox("Erase?", "", 32514, 0, YesNoButtons), mrYes);
}

TEST_F(MessageBoxTest, EscapePressesOnlyACancelButton) {
  guitest::RunFromMessageLoop([] { PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); });
  EXPECT_EQ(ShowMessageBox("Go on?", "", 0, 0, OkCancelButtons), mrCancel);

  bool stillOpen = false;
  guitest::RunFromMessageLoop([&] {
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    guitest::RunFromMessageLoop([&] {
      TForm* f = ModalForm();
      stillOpen = f != nullptr;
      if (f) Find<TButton>(f, "Button0")->Click();
    });
  });
  EXPECT_EQ(ShowMessageBox("Erase?", "", 0, 1, YesNoButtons), mrYes);
  EXPECT_TRUE(stillOpen) << "Yes/No has no cancel button: Escape must not close it";
}

class MessageBoxRestoreTest : public MessageBoxTest {
protected:
  void SetUp() override {
    MessageBoxTest::SetUp();
    owner_ = new TForm(Application);
    owner_->SetCaption("Owner");
    owner_->Show();
    SetActiveWindow(owner_->Handle());
    Application->ProcessMessages();
    formsBefore_ = Screen->FormCount();
  }
  void TearDown() override { delete owner_; }

  void ExpectRestored() {
    EXPECT_TRUE(IsWindowEnabled(owner_->Handle()));
    EXPECT_EQ(GetActiveWindow(), owner_->Handle());
    EXPECT_EQ(Screen->FormCount(), formsBefore_) << "the box is freed";
  }

  TForm* owner_ = nullptr;
  int formsBefore_ = 0;
};

TEST_F(MessageBoxRestoreTest, OtherWindowsAreDisabledWhileShownAndRestoredAfterwards) {
  ASSERT_EQ(GetActiveWindow(), owner_->Handle());
  bool ownerEnabledDuring = true;
  guitest::RunFromMessageLoop([&] {
    ownerEnabledDuring = IsWindowEnabled(owner_->Handle());
    Find<TButton>(ModalForm(), "Button0")->Click();
  });
  EXPECT_EQ(ShowMessageBox("Question", "", 32514, 1, YesNoButtons), mrYes);
  EXPECT_FALSE(ownerEnabledDuring);
  ExpectRestored();
}

TEST_F(MessageBoxRestoreTest, AnExceptionLeavingTheBoxStillRestoresTheWindows) {
  guitest::RunFromMessageLoop([] { throw std::runtime_error("handler failed"); });
  EXPECT_THROW(ShowMessageBox("Question", "", 32515, 1, YesNoButtons), std::runtime_error);
  ExpectRestored();
}

TEST(ButtonCaptions, AreEmptyBeforeTheFirstLoadAndFollowEveryLoad) {
  orv::TMemoryStream empty;
  GlobalLanguage->LoadText(empty);
  EXPECT_EQ(YesNoButtons[0].Caption, "");
  EXPECT_EQ(RenameOverwriteCancelButtons[2].Caption, "");

  Snapshot s = ShowAndClose("Nothing loaded yet", "", 0, 1, YesNoButtons);
  EXPECT_EQ(s.captions, (std::vector<std::string>{"", ""}));
  for (const RECT& r : s.buttons) EXPECT_EQ(r.right - r.left, MulDiv(75, Screen->PixelsPerInch(), 96));

  ASSERT_TRUE(testsupport::LoadEnglish()) << "english.lng not found";
  EXPECT_EQ(YesNoButtons[0].Caption, "Yes");
  EXPECT_EQ(YesNoButtons[1].Caption, "No");
  EXPECT_EQ(UpgradeCloseButtons[0].Caption, "Upgrade to PRO");
  EXPECT_EQ(OverwriteResumeCancelButtons[1].Caption, "Resume");
  EXPECT_EQ(RenameOverwriteCancelButtons[0].Caption, "Rename");
  EXPECT_EQ(ReplaceAppendCancelButtons[1].ModalResult, mrNo);
  EXPECT_EQ(MessageBoxProc, &ShowMessageBox);
}

}  // namespace

namespace {

TEST(LanguageTable, LooksUpKeysWithTheSystemsCaseInsensitiveComparison) {
  orv::TMemoryStream text("CapOK=OK\r\n\xC4rger=trouble\r\n");
  TKLXLanguage lang;
  lang.LoadText(text);
  EXPECT_EQ(lang.GetWord("cApoK"), "OK");
  if (GetACP() == 1252) {
    EXPECT_EQ(lang.GetWord("\xE4RGER"), "trouble") << "A-umlaut in both cases";
  }
}

}  // namespace
