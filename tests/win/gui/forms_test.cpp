#include <gtest/gtest.h>

#include "gui/Forms.h"
#include "win/OSError.h"
#include "gui/StdCtrls.h"
#include "gui_env.h"
#include "sys/KLSysUtils.h"

using namespace orv;

namespace {

TEST(OSError, CarriesTheCodeAndTheSystemsOwnTextWithoutItsLineEnd) {
  SetLastError(ERROR_FILE_NOT_FOUND);
  try {
    RaiseLastOSError("Opening the card");
    FAIL() << "nothing raised";
  } catch (const EOSError& e) {
    EXPECT_EQ(e.ErrorCode, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
    const std::string text = SysErrorMessage(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(e.Message(), "Opening the card: " + text);
    EXPECT_NE(text, "System error 2.") << "the system knows this one";
    EXPECT_NE(text.back(), '\n');
  }
  EXPECT_EQ(SysErrorMessage(0x2000FFFF), "System error 536936447.");
}

TEST(ApplicationWindow, IsAHiddenTopLevelTApplicationWindowTitledWithTheTitle) {
  Application->SetTitle("Some Title");
  HWND wnd = Application->Handle();
  EXPECT_EQ(GetWindowClassName(wnd), "TApplication");
  EXPECT_EQ(GetWindowCaption(wnd), "Some Title");
  EXPECT_EQ(Application->Title(), "Some Title");
  EXPECT_EQ(GetParent(wnd), nullptr);
  EXPECT_FALSE(IsWindowVisible(wnd)) << "no main form shown yet";

  TForm form(Application);
  EXPECT_EQ(GetWindow(form.Handle(), GW_OWNER), wnd) << "forms hang off the application window";
  Application->SetTitle("Orvasil");
}

TEST(UtilWindow, IsAHiddenTPUtilWindowThatGetsItsMessages) {
  UINT seen = 0;
  TUtilWindow util([&](HWND w, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
    if (msg == WM_USER + 5) seen = static_cast<UINT>(wp);
    return DefWindowProcA(w, msg, wp, lp);
  });
  EXPECT_EQ(GetWindowClassName(util.Handle()), "TPUtilWindow");
  EXPECT_FALSE(IsWindowVisible(util.Handle()));
  SendMessageA(util.Handle(), WM_USER + 5, 42, 0);
  EXPECT_EQ(seen, 42u);
}

class ModalFormTest : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = new TForm(Application);
    form_->SetBorderStyle(TFormBorderStyle::bsDialog);
    form_->SetClientWidth(300);
    form_->SetClientHeight(120);
    auto* label = new TLabel(form_);
    label->SetParent(form_);
    label->SetBounds(10, 10, 200, 40);
    ok_ = AddButton("OkBtn", 10, mrOk);
    cancel_ = AddButton("CancelBtn", 100, mrCancel);
    plain_ = AddButton("PlainBtn", 190, mrNone);
  }
  void TearDown() override { delete form_; }
  TButton* AddButton(const char* name, int x, TModalResult r) {
    auto* b = new TButton(form_);
    b->SetName(name);
    b->SetParent(form_);
    b->SetBounds(x, 80, 75, 25);
    b->SetModalResult(r);
    return b;
  }
  TForm* form_ = nullptr;
  TButton *ok_ = nullptr, *cancel_ = nullptr, *plain_ = nullptr;
};

TEST_F(ModalFormTest, ClientSizeIsTheWindowsClientArea) {
  RECT r;
  GetClientRect(form_->Handle(), &r);
  EXPECT_EQ(r.right, 300);
  EXPECT_EQ(r.bottom, 120);
  EXPECT_GT(form_->Width(), 300);
}

TEST_F(ModalFormTest, AButtonWithAModalResultEndsTheLoopAndTheFormIsHidden) {
  int clicks = 0;
  plain_->OnClick = [&](TObject*) { ++clicks; };
  guitest::RunFromMessageLoop([&] {
    plain_->Click();
    ok_->Click();
  });
  EXPECT_EQ(form_->ShowModal(), mrOk);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(form_->Visible());
  EXPECT_FALSE(IsWindowVisible(form_->Handle()));
  EXPECT_FALSE(form_->Modal());
}

TEST_F(ModalFormTest, CloseQueryCanKeepAModalFormOpen) {
  int asked = 0;
  form_->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++asked > 1; };
  guitest::RunFromMessageLoop([&] {
    PostMessageA(form_->Handle(), WM_CLOSE, 0, 0);
    guitest::RunFromMessageLoop([&] { PostMessageA(form_->Handle(), WM_CLOSE, 0, 0); });
  });
  EXPECT_EQ(form_->ShowModal(), mrCancel);
  EXPECT_EQ(asked, 2);
}

TEST_F(ModalFormTest, TabFollowsTheTabOrderAndEnterPressesTheFocusedButton) {
  cancel_->SetTabOrder(0);
  EXPECT_EQ(cancel_->TabOrder(), 0) << "labels take no place in the tab order";
  EXPECT_EQ(ok_->TabOrder(), 1);
  EXPECT_EQ(plain_->TabOrder(), 2);
  std::vector<HWND> focus;
  guitest::RunFromMessageLoop([&] {
    focus.push_back(GetFocus());
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    guitest::RunFromMessageLoop([&] {
      focus.push_back(GetFocus());
      PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
      guitest::RunFromMessageLoop([&] {
        focus.push_back(GetFocus());
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        guitest::RunFromMessageLoop([&] {
          focus.push_back(GetFocus());
          ok_->SetFocus();
          PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
        });
      });
    });
  });
  EXPECT_EQ(form_->ShowModal(), mrOk);
  EXPECT_EQ(focus, (std::vector<HWND>{cancel_->Handle(), ok_->Handle(), plain_->Handle(), cancel_->Handle()}));
}

TEST_F(ModalFormTest, AShowingFormCannotBeMadeModal) {
  form_->Show();
  EXPECT_THROW(form_->ShowModal(), EInvalidOperation);
  form_->Hide();
}

TEST(PlainForm, CloseHidesAFormThatIsNotTheMainOne) {
  TForm form(Application);
  form.Show();
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
  form.Close();
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(IsWindowVisible(form.Handle()));
  EXPECT_FALSE(Application->Terminated());
}

TEST(PlainForm, ScreenCenterPlacesTheFormOnShow) {
  TForm form(Application);
  form.SetPosition(TPosition::poScreenCenter);
  form.SetBounds(0, 0, 200, 100);
  form.Show();
  RECT r;
  GetWindowRect(form.Handle(), &r);
  EXPECT_EQ(r.left, (Screen->Width() - 200) / 2);
  EXPECT_EQ(r.top, (Screen->Height() - 100) / 2);
  form.Hide();
}

TEST(PlainForm, OwnedControlsGoWithTheirForm) {
  auto* form = new TForm(Application);
  auto* label = new TLabel(form);
  label->SetParent(form);
  auto* button = new TButton(form);
  button->SetParent(form);
  HWND buttonWnd = button->Handle();
  EXPECT_EQ(GetParent(buttonWnd), form->Handle());
  EXPECT_EQ(GetWindow(form->Handle(), GW_CHILD), buttonWnd) << "the label has no window of its own";
  EXPECT_EQ(GetWindow(buttonWnd, GW_HWNDNEXT), nullptr) << "the button's window is made once";
  const int before = Screen->FormCount();
  delete form;
  EXPECT_FALSE(IsWindow(buttonWnd));
  EXPECT_EQ(Screen->FormCount(), before - 1);
}

}  // namespace
