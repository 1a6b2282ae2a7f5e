// The multi-line edit base over the system's EDIT window.
#include <gtest/gtest.h>

#include <memory>

#include "gui/Forms.h"
#include "gui/Memo.h"

using namespace orv;

namespace {

class MemoTest : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = std::make_unique<TForm>(Application);
    memo_ = new TCustomMemo(form_.get());
    memo_->SetParent(form_.get());
  }
  std::unique_ptr<TForm> form_;
  TCustomMemo* memo_ = nullptr;
};

TEST_F(MemoTest, TheLinesListWorksOnTheEditWindow) {
  TStrings& lines = memo_->Lines();
  lines.Add("alpha");
  lines.Add("gamma");
  lines.Insert(1, "beta");
  lines.Put(2, "GAMMA");
  ASSERT_EQ(lines.Count(), 3);
  EXPECT_EQ(memo_->Text(), "alpha\r\nbeta\r\nGAMMA\r\n");
  lines.Delete(0);
  EXPECT_EQ(lines.Get(0), "beta");
  EXPECT_EQ(lines.Count(), 2);
}

TEST_F(MemoTest, StylesFollowTheProperties) {
  memo_->SetScrollBars(TScrollStyle::ssVertical);
  memo_->SetReadOnly(true);
  const LONG style = GetWindowLongA(memo_->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & ES_MULTILINE);
  EXPECT_TRUE(style & ES_READONLY);
  EXPECT_TRUE(style & WS_VSCROLL);
  EXPECT_FALSE(style & WS_HSCROLL);
  EXPECT_FALSE(style & ES_AUTOHSCROLL) << "word wrap";
}

TEST_F(MemoTest, TabsAndReturnsStayInTheControlOnlyWhenWanted) {
  HWND wnd = memo_->Handle();
  EXPECT_FALSE(SendMessageA(wnd, WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB);
  EXPECT_TRUE(SendMessageA(wnd, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);
  memo_->SetWantTabs(true);
  memo_->SetWantReturns(false);
  EXPECT_TRUE(SendMessageA(wnd, WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB);
  EXPECT_FALSE(SendMessageA(wnd, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);
}

TEST_F(MemoTest, TextAndModifiedFlagSurviveARecreationAndAWindowDestroyedFromOutsideIsForgotten) {
  memo_->SetText("kept\r\ntext");
  memo_->SetModified(true);
  memo_->SetWordWrap(false);
  EXPECT_TRUE(GetWindowLongA(memo_->Handle(), GWL_STYLE) & ES_AUTOHSCROLL);
  EXPECT_EQ(memo_->Text(), "kept\r\ntext");
  EXPECT_TRUE(memo_->Modified());
  DestroyWindow(memo_->Handle());
  EXPECT_FALSE(memo_->HandleAllocated());
}

}  // namespace
