// The window path (one procedure, exceptions kept for the loop), handle owners, and errors
// raised by form events that run while a form ends.
#include <gtest/gtest.h>

#include <stdexcept>

#include "gui/Forms.h"
#include "win/Handles.h"
#include "gui/StdCtrls.h"
#include "gui/WindowNames.h"
#include "gui_env.h"
#include "sys/KLSysUtils.h"

using namespace orv;

namespace {

bool MutexExists(const char* name) {
  TOwnedHandle h(OpenMutexA(SYNCHRONIZE, FALSE, name));
  return static_cast<bool>(h);
}

TEST(OwnedHandle, ClosesItsHandleOnceAndTakesNeitherFailureValueForAHandle) {
  const char* name = "OrvasilOwnedHandleTest";
  {
    TOwnedHandle mutex(CreateMutexA(nullptr, FALSE, name));
    ASSERT_TRUE(mutex);
    EXPECT_TRUE(MutexExists(name));
    TOwnedHandle moved(std::move(mutex));
    EXPECT_FALSE(mutex);
    EXPECT_TRUE(moved);
    EXPECT_TRUE(MutexExists(name)) << "a move does not close";
  }
  EXPECT_FALSE(MutexExists(name)) << "the owner closed the last handle";

  TOwnedHandle failedOpen(CreateFileA("Z:\\no\\such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_EQ(failedOpen.Get(), INVALID_HANDLE_VALUE);
  EXPECT_FALSE(failedOpen);
  TOwnedHandle failedCreate(OpenMutexA(SYNCHRONIZE, FALSE, name));
  EXPECT_FALSE(failedCreate);

  HANDLE kept = CreateMutexA(nullptr, FALSE, name);
  {
    TOwnedHandle owner(kept);
    EXPECT_EQ(owner.Release(), kept);
  }
  EXPECT_TRUE(MutexExists(name)) << "a released handle stays open";
  CloseHandle(kept);
}

TEST(WindowPath, AnErrorInAWindowProcedureIsRaisedByTheMessageLoopAndTheWindowLivesOn) {
  int calls = 0;
  TUtilWindow util([&](HWND w, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
    if (msg != WM_APP + 3) return DefWindowProcA(w, msg, wp, lp);
    if (++calls == 1) throw std::runtime_error("handler failed");
    return 7;
  });
  EXPECT_EQ(SendMessageA(util.Handle(), WM_APP + 3, 0, 0), 0) << "nothing crossed into the system";
  PostMessageA(util.Handle(), WM_NULL, 0, 0);
  EXPECT_THROW(Application->ProcessMessages(), std::runtime_error);
  EXPECT_NO_THROW(Application->ProcessMessages()) << "raised once";
  EXPECT_EQ(SendMessageA(util.Handle(), WM_APP + 3, 0, 0), 7);
}

TEST(WindowPath, ControlsOfSystemAndOwnClassesLeadBackToTheirObjects) {
  TForm form(Application);
  auto* button = new TButton(&form);
  button->SetParent(&form);
  EXPECT_EQ(TWinControl::FromHandle(form.Handle()), &form);
  EXPECT_EQ(TWinControl::FromHandle(button->Handle()), button);
  EXPECT_EQ(TWinControl::FromHandle(Application->Handle()), nullptr) << "the application is no control";
  EXPECT_EQ(TWinControl::FromHandle(GetDesktopWindow()), nullptr);
  HWND wnd = form.Handle();
  DestroyWindow(wnd);
  EXPECT_FALSE(form.HandleAllocated()) << "a window destroyed from outside is forgotten";
  EXPECT_EQ(TWinControl::FromHandle(wnd), nullptr);
}

TEST(WindowNames, AreTheClassesOfTheApplicationAndHelperWindows) {
  TUtilWindow util(nullptr);
  EXPECT_EQ(GetWindowClassName(Application->Handle()), kApplicationClassName);
  EXPECT_EQ(GetWindowClassName(util.Handle()), kUtilWindowClassName);
}

class FormEndTest : public ::testing::Test {
protected:
  void SetUp() override {
    Application->OnException = [this](const std::exception& e) { reported_.push_back(e.what()); };
  }
  void TearDown() override { Application->OnException = nullptr; }
  std::vector<std::string> reported_;
};

TEST_F(FormEndTest, ARaisingOnDestroyIsReportedWhenTheFormIsFreed) {
  auto* form = new TForm(Application);
  form->OnDestroy = [](TObject*) { throw std::runtime_error("OnDestroy failed"); };
  delete form;
  EXPECT_EQ(reported_, std::vector<std::string>{"OnDestroy failed"});
}

TEST_F(FormEndTest, ARaisingOnHideAfterAModalLoopReachesTheCallerAndEndsTheModalState) {
  TForm form(Application);
  TForm other(Application);
  other.Show();
  form.OnHide = [](TObject*) { throw std::runtime_error("OnHide failed"); };
  guitest::RunFromMessageLoop([&] { form.SetModalResult(mrOk); });
  EXPECT_THROW(form.ShowModal(), std::runtime_error);
  EXPECT_FALSE(form.Modal());
  EXPECT_TRUE(IsWindowEnabled(other.Handle())) << "the other windows are enabled again";
  form.OnHide = nullptr;
  other.Hide();
}

TEST_F(FormEndTest, AnErrorInTheModalLoopWinsOverARaisingOnHide) {
  TForm form(Application);
  form.OnHide = [](TObject*) { throw std::logic_error("OnHide failed"); };
  guitest::RunFromMessageLoop([] { throw std::runtime_error("loop failed"); });
  EXPECT_THROW(form.ShowModal(), std::runtime_error);
  EXPECT_FALSE(form.Modal());
  form.OnHide = nullptr;
}

}  // namespace
