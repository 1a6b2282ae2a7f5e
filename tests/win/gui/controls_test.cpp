// Windowless controls (painting, mouse, capture, cursor), hints, and the standard controls.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "all_controls_form.h"
#include "base/Filer.h"
#include "base/Streams.h"
#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "gui_env.h"
#include "sys/KLSysUtils.h"

using namespace orv;
using guitest::TAllControlsForm;

namespace {

// Records what the parent routes to it.
class TProbe : public TGraphicControl {
public:
  explicit TProbe(TComponent* owner) : TGraphicControl(owner) {}
  void MouseDown(TMouseButton b, uint8_t shift, int32_t x, int32_t y) override {
    log.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    TGraphicControl::MouseDown(b, shift, x, y);
  }
  void MouseMove(uint8_t shift, int32_t x, int32_t y) override {
    log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
  }
  void MouseUp(TMouseButton b, uint8_t shift, int32_t x, int32_t y) override {
    log.push_back("up " + std::to_string(x) + "," + std::to_string(y));
    TGraphicControl::MouseUp(b, shift, x, y);
  }
  void MouseEnter() override { log.push_back("enter"); }
  void MouseLeave() override { log.push_back("leave"); }
  void Click() override { log.push_back("click"); }
  std::vector<std::string> log;
};

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

class WindowlessTest : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = new TForm(Application);
    form_->SetBorderStyle(TFormBorderStyle::bsNone);
    form_->SetBounds(100, 100, 300, 200);
    probe_ = new TProbe(form_);
    probe_->SetParent(form_);
    probe_->SetBounds(50, 40, 100, 60);
    form_->Show();
  }
  void TearDown() override { delete form_; }
  void Send(UINT msg, WPARAM keys, int x, int y) { SendMessageA(form_->Handle(), msg, keys, At(x, y)); }
  TForm* form_ = nullptr;
  TProbe* probe_ = nullptr;
};

TEST_F(WindowlessTest, GetsTheMouseInItsOwnCoordinatesAndKeepsItUnderCapture) {
  Send(WM_MOUSEMOVE, 0, 60, 50);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 60, 50);
  EXPECT_EQ(CaptureControl(), probe_);
  EXPECT_EQ(GetCapture(), form_->Handle());
  Send(WM_MOUSEMOVE, MK_LBUTTON, 250, 180);
  Send(WM_LBUTTONUP, 0, 250, 180);
  EXPECT_EQ(CaptureControl(), nullptr);
  EXPECT_EQ(probe_->log,
            (std::vector<std::string>{"enter", "move 10,10", "down 10,10", "leave", "move 200,140", "up 200,140"}))
      << "outside its bounds but captured: no click";
  probe_->log.clear();
  Send(WM_MOUSEMOVE, 0, 149, 99);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 149, 99);
  Send(WM_LBUTTONUP, 0, 149, 99);
  EXPECT_EQ(probe_->log, (std::vector<std::string>{"enter", "move 99,59", "down 99,59", "up 99,59", "click"}));
}

TEST_F(WindowlessTest, LeavingForAnotherWindowIsNoticedWithoutAMessageToItsParent) {
  const POINT inside = form_->ClientToScreen(POINT{60, 50});
  SetCursorPos(inside.x, inside.y);
  Send(WM_MOUSEMOVE, 0, 60, 50);
  SetCursorPos(inside.x + 400, inside.y + 300);
  for (int waited = 0; waited < 1000 && probe_->log.back() != "leave"; waited += 20) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    Application->ProcessMessages();
  }
  EXPECT_EQ(probe_->log.front(), "enter");
  EXPECT_EQ(probe_->log.back(), "leave");
  EXPECT_EQ(std::count(probe_->log.begin(), probe_->log.end(), "leave"), 1);
}

TEST_F(WindowlessTest, ADisabledOrHiddenControlLeavesTheMouseToItsParent) {
  int formDowns = 0;
  form_->OnMouseDown = [&](TObject*, TMouseButton, uint8_t, int32_t x, int32_t y) {
    ++formDowns;
    EXPECT_EQ(x, 60);
    EXPECT_EQ(y, 50);
  };
  probe_->SetEnabled(false);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 60, 50);
  Send(WM_LBUTTONUP, 0, 60, 50);
  probe_->SetEnabled(true);
  probe_->SetVisible(false);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 60, 50);
  Send(WM_LBUTTONUP, 0, 60, 50);
  EXPECT_EQ(formDowns, 2);
  EXPECT_TRUE(probe_->log.empty());
}

TEST_F(WindowlessTest, ItsCursorShowsOverItAndTheClassCursorElsewhere) {
  probe_->SetCursor(crKLHandPoint);
  ASSERT_NE(Screen->Cursors(crKLHandPoint), Screen->Cursors(crDefault)) << "the program's cursor is loaded";
  const auto setCursorAt = [&](int x, int y) {
    const POINT p = form_->ClientToScreen(POINT{x, y});
    SetCursorPos(p.x, p.y);
    SendMessageA(form_->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form_->Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
  };
  EXPECT_EQ(setCursorAt(60, 50), Screen->Cursors(crKLHandPoint));
  EXPECT_EQ(setCursorAt(10, 10), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 60, 50);
  EXPECT_EQ(setCursorAt(10, 10), Screen->Cursors(crKLHandPoint)) << "the capture control's cursor";
  Send(WM_LBUTTONUP, 0, 10, 10);
}

// The form's background and its windowless children, painted into a DC of ours.
class PaintedPixels {
public:
  PaintedPixels(TWinControl& parent, int w, int h) : w_(w), h_(h) {
    TWindowDC screen(nullptr);
    dc_.Reset(CreateCompatibleDC(screen.Get()));
    bitmap_.Reset(CreateCompatibleBitmap(screen.Get(), w, h));
    SelectObject(dc_.Get(), bitmap_.Get());
    SendMessageA(parent.Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc_.Get()), 0);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc_.Get(), x, y); }
  // Whether any pixel of the rectangle has the colour.
  bool Any(RECT r, COLORREF c) const {
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (At(x, y) == c) return true;
    return false;
  }

private:
  int w_, h_;
  TOwnedMemoryDC dc_;
  TOwnedGdiObject bitmap_;
};

TEST(WindowlessPainting, TransparentLabelsShowTheParentAndEachControlStaysInItsBounds) {
  TForm form(Application);
  form.SetBounds(0, 0, 200, 100);
  form.SetColor(0x0000FF);
  auto* see = new TLabel(&form);
  see->SetParent(&form);
  see->SetBounds(10, 10, 80, 20);
  see->SetCaption("Ab");
  see->SetTransparent(true);
  auto* opaque = new TLabel(&form);
  opaque->SetParent(&form);
  opaque->SetBounds(100, 10, 60, 20);
  opaque->SetColor(0xFFFFFF);
  opaque->SetCaption("Ab");
  const PaintedPixels p(form, 200, 100);
  EXPECT_EQ(p.At(85, 25), RGB(255, 0, 0)) << "around the letters of a transparent label";
  EXPECT_TRUE(p.Any(RECT{10, 10, 40, 30}, RGB(0, 0, 0))) << "its letters";
  EXPECT_EQ(p.At(155, 25), RGB(255, 255, 255)) << "an opaque label's own colour";
  EXPECT_EQ(p.At(165, 25), RGB(255, 0, 0)) << "nothing beyond its bounds";
}

TEST(WindowlessPainting, AWordWrappedLabelBreaksItsLinesAndAnotherOneDoesNot) {
  TForm form(Application);
  form.SetBounds(0, 0, 200, 100);
  form.SetColor(0xFFFFFF);
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  label->SetBounds(0, 0, 60, 80);
  label->SetColor(0xFFFFFF);
  label->SetCaption("aaaa bbbb cccc dddd");
  const RECT secondLine{0, 20, 60, 80};
  EXPECT_FALSE(PaintedPixels(form, 200, 100).Any(secondLine, RGB(0, 0, 0)));
  label->SetWordWrap(true);
  EXPECT_TRUE(PaintedPixels(form, 200, 100).Any(secondLine, RGB(0, 0, 0)));
}

// Pumps messages until Cond holds or Ms pass.
bool PumpUntil(const std::function<bool()>& cond, int ms) {
  for (int waited = 0; waited < ms && !cond(); waited += 10) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    Application->ProcessMessages();
  }
  return cond();
}

TEST(Hints, TheHintTextChangesWhenThePointerMovesToAControlWithAnotherHint) {
  TForm form(Application);
  form.SetBorderStyle(TFormBorderStyle::bsNone);
  form.SetBounds(200, 200, 300, 100);
  form.SetShowHint(true);
  auto add = [&](int x, const char* hint) {
    auto* l = new TLabel(&form);
    l->SetParent(&form);
    l->SetBounds(x, 10, 100, 40);
    l->SetCaption(hint);
    l->SetHint(hint);
    return l;
  };
  TLabel* a = add(10, "First hint");
  add(150, "Second hint");
  form.Show();
  auto moveTo = [&](int x, int y) {
    const POINT p = form.ClientToScreen(POINT{x, y});
    SetCursorPos(p.x, p.y);
    PostMessageA(form.Handle(), WM_MOUSEMOVE, 0, At(x, y));
  };
  moveTo(20, 20);
  EXPECT_TRUE(PumpUntil([] { return Application->ShownHint() == "First hint"; }, 2000)) << Application->ShownHint();
  moveTo(160, 20);
  EXPECT_TRUE(PumpUntil([] { return Application->ShownHint() == "Second hint"; }, 1000)) << Application->ShownHint();
  moveTo(20, 20);
  ASSERT_TRUE(PumpUntil([] { return Application->ShownHint() == "First hint"; }, 1000));
  a->SetHint("Changed under the pointer");
  EXPECT_TRUE(PumpUntil([] { return Application->ShownHint() == "Changed under the pointer"; }, 1000));
  Application->CancelHint();
  EXPECT_EQ(Application->ShownHint(), "");
}

TEST(FormBorder, ABorderlessFormHasNoCaptionAndASingleBorderNoSizingFrame) {
  TForm none(Application);
  none.SetBorderStyle(TFormBorderStyle::bsNone);
  const LONG noneStyle = GetWindowLongA(none.Handle(), GWL_STYLE);
  EXPECT_EQ(noneStyle & WS_CAPTION, 0);
  EXPECT_EQ(noneStyle & WS_THICKFRAME, 0);
  TForm single(Application);
  single.SetBorderStyle(TFormBorderStyle::bsSingle);
  single.SetBorderIcons(biSystemMenu | biMinimize);
  const LONG singleStyle = GetWindowLongA(single.Handle(), GWL_STYLE);
  EXPECT_EQ(singleStyle & WS_CAPTION, WS_CAPTION);
  EXPECT_EQ(singleStyle & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
  EXPECT_NE(singleStyle & WS_MINIMIZEBOX, 0);
}

TEST(FormState, AMinimisedFormIsRestoredAndBroughtToTheFront) {
  TForm form(Application);
  form.SetBounds(50, 50, 200, 120);
  form.Show();
  ShowWindow(form.Handle(), SW_MINIMIZE);
  EXPECT_EQ(form.WindowState(), TWindowState::wsMinimized);
  form.SetWindowState(TWindowState::wsNormal);
  EXPECT_FALSE(IsIconic(form.Handle()));
  EXPECT_EQ(form.WindowState(), TWindowState::wsNormal);
  form.BringToFront();
  EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == form.Handle(); }, 2000));
  form.Hide();
}

// Counts the position messages that reach the progress bar's window.
WNDPROC gProgressProc = nullptr;
int gSetPosCount = 0;
LRESULT CALLBACK CountingProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == PBM_SETPOS) ++gSetPosCount;
  return CallWindowProcA(gProgressProc, w, msg, wp, lp);
}

TEST(ProgressBar, AnUnchangedPositionSendsNothing) {
  TForm form(Application);
  auto* bar = new TProgressBar(&form);
  bar->SetParent(&form);
  bar->SetMax(200);
  bar->SetPosition(50);
  HWND wnd = bar->Handle();
  EXPECT_EQ(SendMessageA(wnd, PBM_GETPOS, 0, 0), 50);
  EXPECT_EQ(SendMessageA(wnd, PBM_GETRANGE, FALSE, 0), 200);
  gProgressProc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProc)));
  gSetPosCount = 0;
  bar->SetPosition(50);
  EXPECT_EQ(gSetPosCount, 0);
  bar->SetPosition(120);
  EXPECT_EQ(gSetPosCount, 1);
  EXPECT_EQ(SendMessageA(wnd, PBM_GETPOS, 0, 0), 120);
  SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gProgressProc));
}

TEST(AllControls, EveryControlIsReadFromADefinitionWithItsProperties) {
  TAllControlsForm* form = nullptr;
  Application->CreateForm(form);
  ASSERT_NE(form, nullptr);
  auto* pages = form->Find<TNotebook>("Pages");
  auto* sizeBox = form->Find<TComboBox>("SizeBox");
  auto* title = form->Find<TLabel>("TitleLabel");
  auto* progress = form->Find<TProgressBar>("Progress");
  auto* top = form->Find<TPanel>("TopPanel");
  auto* line = form->Find<TBevel>("Line");
  ASSERT_TRUE(pages && sizeBox && title && progress && top && line && form->Find<TGroupBox>("DriveGroup"));
  EXPECT_EQ(pages->PageCount(), 2);
  EXPECT_EQ(pages->PageIndex(), 1);
  EXPECT_FALSE(pages->Page(0)->Visible());
  EXPECT_TRUE(pages->Page(1)->Visible());
  EXPECT_EQ(pages->Page(1)->Caption(), "Drive");
  EXPECT_EQ(sizeBox->Items().Count(), 5);
  EXPECT_EQ(sizeBox->ItemIndex(), 2);
  EXPECT_EQ(sizeBox->DropDownCount(), 4);
  EXPECT_TRUE(title->Transparent());
  EXPECT_EQ(title->Cursor(), crKLHandPoint);
  EXPECT_TRUE(title->ShowHint()) << "from the form, through ParentShowHint";
  EXPECT_EQ(progress->Max(), 200);
  EXPECT_EQ(progress->Position(), 120);
  EXPECT_EQ(top->BevelOuter(), TPanelBevel::bvNone);
  EXPECT_EQ(top->Color(), 0xFFFFFF);
  EXPECT_EQ(line->Shape(), TBevelShape::bsTopLine);
  EXPECT_EQ(form->BorderStyle(), TFormBorderStyle::bsSingle);
  EXPECT_EQ(form->ClientWidth(), 472);

  form->Show();
  EXPECT_EQ(SendMessageA(sizeBox->Handle(), CB_GETCOUNT, 0, 0), 5);
  sizeBox->SetItemIndex(0);
  EXPECT_EQ(form->sizeChanges, 0) << "a change by the program is no pick";
  sizeBox->SetFocus();
  PostMessageA(sizeBox->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(sizeBox->Handle(), WM_KEYUP, VK_DOWN, 0);
  EXPECT_TRUE(PumpUntil([&] { return form->sizeChanges == 1; }, 2000));
  EXPECT_EQ(sizeBox->ItemIndex(), 1);

  const POINT inTitle{title->Left() + 5, title->Top() + 5};
  SendMessageA(top->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(inTitle.x, inTitle.y));
  SendMessageA(top->Handle(), WM_LBUTTONUP, 0, At(inTitle.x, inTitle.y));
  EXPECT_EQ(form->titleClicks, 1) << "OnClick bound from the definition";

  EXPECT_THROW(pages->SetPageIndex(2), EListError);
  pages->SetPageIndex(0);
  EXPECT_TRUE(pages->Page(0)->Visible());
  EXPECT_FALSE(pages->Page(1)->Visible());
  delete form;
}

}  // namespace

namespace {

TEST(ImageControl, ABitmapStoredAsPictureDataIsReadBackAndDrawnStretched) {
  TForm source(Application);
  source.SetName("PictureForm");
  auto* image = new TImage(&source);
  image->SetName("Photo");
  image->SetParent(&source);
  image->SetBounds(10, 10, 40, 20);
  image->SetStretch(true);
  TBitmap& bitmap = image->Picture().Bitmap();
  bitmap.SetSize(4, 2);
  bitmap.Canvas().Brush().SetColor(clRed);
  bitmap.Canvas().FillRect(TRect{0, 0, 4, 2});
  TMemoryStream stream;
  WriteRootComponent(stream, &source);
  const std::string bytes = stream.ToString();
  EXPECT_NE(bytes.find("Picture.Data"), std::string::npos);

  TForm copy(Application);
  copy.SetName("CopyForm");
  copy.SetBounds(0, 0, 100, 50);
  copy.SetColor(clWhite);
  stream.SetPosition(0);
  ReadRootComponent(stream, &copy);
  auto* read = dynamic_cast<TImage*>(copy.FindComponent("Photo"));
  ASSERT_NE(read, nullptr);
  ASSERT_NE(dynamic_cast<TBitmap*>(read->Picture().Graphic()), nullptr);
  EXPECT_EQ(read->Picture().Width(), 4);
  EXPECT_TRUE(read->Stretch());
  const PaintedPixels p(copy, 100, 50);
  EXPECT_EQ(p.At(45, 25), RGB(255, 0, 0)) << "stretched over the whole control";
  EXPECT_EQ(p.At(55, 25), RGB(255, 255, 255)) << "and not beyond it";
}

}  // namespace
