// The image map on a test form: what the screen shows in each state, the events, the pointer's
// cursor and hint, links, and dragging.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/Filer.h"
#include "gui/ExtCtrls.h"
#include "link_recorder.h"
#include "shell/KLShellUtils.h"
#include "skin_env.h"
#include "sys/KLSysUtils.h"
#include "test_files.h"

using namespace orv;
using namespace skintest;

namespace {

class SkinMapTest : public ::testing::Test {
protected:
  void SetUp() override {
    list_ = AddStripList();
    f_ = MakeMapForm(list_, 100, 100);
    map_ = f_.Map;
    map_->OnMapChanging = [this](TObject*, const std::string& name, int32_t i) { Log("changing", name, i); };
    map_->OnMapClick = [this](TObject*, const std::string& name, int32_t i) { Log("click", name, i); };
    map_->OnMapUnClick = [this](TObject*, const std::string& name, int32_t i) { Log("unclick", name, i); };
  }
  void TearDown() override {
    delete f_.Form;
    GlobalSkinData->ImageLists().Clear();
  }
  void Log(const char* what, const std::string& name, int32_t index) {
    log_.push_back(std::string(what) + " " + name + " " + std::to_string(index));
  }
  void Send(UINT msg, WPARAM keys, int x, int y) { SendMessageA(f_.Form->Handle(), msg, keys, MAKELPARAM(x, y)); }
  void Move(int x, int y) { Send(WM_MOUSEMOVE, 0, x, y); }
  void Click(int x, int y) {
    Send(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    Send(WM_LBUTTONUP, 0, x, y);
  }
  COLORREF Pixel(int x, int y) { return ClientPixel(f_.Form->Handle(), x, y); }
  // Paints the whole form again, as after being uncovered.
  void FullPaint() { RedrawWindow(f_.Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }
  TKLXSkinState State(int index) { return map_->Areas().Items(index)->PaintObj().State(); }
  TKLXMapArea& Area(int index) { return *map_->Areas().Items(index); }

  int list_ = 0;
  TMapForm f_;
  TKLXSkinMap* map_ = nullptr;
  std::vector<std::string> log_;
};

TEST_F(SkinMapTest, TheScreenShowsOffThenOverOnlyWhereTheImageChanges) {
  EXPECT_EQ(Pixel(5, 5), kOff);
  EXPECT_EQ(Pixel(30, 30), kOff);
  EXPECT_EQ(Pixel(kMapWidth + 5, 5), RGB(255, 255, 255)) << "the form's own background beside the map";
  Move(30, 30);
  EXPECT_EQ(State(0), ssOver);
  EXPECT_EQ(Pixel(30, 30), kOver) << "drawn at once, without a paint";
  EXPECT_EQ(Pixel(59, 49), kOver);
  EXPECT_EQ(Pixel(60, 49), kOff) << "right edge outside";
  EXPECT_EQ(Pixel(5, 5), kOff);
  Move(150, 50);
  EXPECT_EQ(Pixel(30, 30), kOff);
  EXPECT_EQ(Pixel(150, 50), kOver);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 150, 50);
  EXPECT_EQ(Pixel(150, 50), kClicked);
  Send(WM_LBUTTONUP, 0, 150, 50);
  EXPECT_EQ(Pixel(150, 50), kOver) << "On and Over shows Over";
  Move(195, 95);
  EXPECT_EQ(Pixel(150, 50), kOn);
  FullPaint();
  EXPECT_EQ(Pixel(150, 50), kOn);
  EXPECT_EQ(Pixel(195, 95), kOff);
}

TEST_F(SkinMapTest, OverlapsHitTheLowerIndexAndPaintTheHigherOnTop) {
  EXPECT_EQ(map_->AreaAtPos(55, 30), &Area(0));
  EXPECT_EQ(map_->AreaAtPos(60, 30), &Area(1));
  EXPECT_EQ(map_->AreaAtPos(120, 59), nullptr) << "right edge";
  EXPECT_EQ(map_->AreaAtPos(119, 60), nullptr) << "bottom edge";
  EXPECT_EQ(map_->AreaAtPos(119, 59), &Area(1));
  Move(55, 30);
  EXPECT_EQ(State(0), ssOver);
  EXPECT_EQ(State(1), 0);
  FullPaint();
  EXPECT_EQ(Pixel(55, 30), kOff) << "area 1 (Off) paints over area 0 (Over)";
  EXPECT_EQ(Pixel(45, 30), kOver);
  map_->SetAreaState("second", ssOver);
  map_->SetAreaState("first", 0);
  FullPaint();
  EXPECT_EQ(Pixel(55, 30), kOver);
  EXPECT_EQ(Pixel(45, 30), kOff);
}

TEST_F(SkinMapTest, ClicksRaiseChangingClickAndUnclickInOrder) {
  Click(100, 40);
  Click(150, 50);
  Click(150, 50);
  EXPECT_EQ(log_,
            (std::vector<std::string>{"changing second 1", "click second 1", "changing programs 2", "unclick second 1",
                                      "click programs 2", "changing programs 2", "click programs 2"}));
  EXPECT_EQ(State(2), ssOn);
  EXPECT_EQ(State(1), 0);
  log_.clear();
  map_->SetToggleOnOff(true);
  Click(150, 50);
  EXPECT_EQ(log_, (std::vector<std::string>{"unclick programs 2"}));
  Click(150, 50);
  map_->ResetAreas();
  EXPECT_EQ(log_.back(), "unclick programs 2");
  EXPECT_EQ(map_->GetAreaState("programs"), 0);
  EXPECT_EQ(map_->GetAreaState("nothing"), ssOff);
}

TEST_F(SkinMapTest, TheReleaseActsOnTheAreaUnderThePointer) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 30, 30);
  Send(WM_MOUSEMOVE, MK_LBUTTON, 150, 50);
  Send(WM_LBUTTONUP, 0, 150, 50);
  EXPECT_EQ(log_, (std::vector<std::string>{"changing programs 2", "click programs 2"}));
  EXPECT_TRUE(State(0) & ssClicked) << "the pressed area stays clicked";
}

TEST_F(SkinMapTest, ARightPressDoesNothing) {
  map_->MouseObj().DragControls().Add(f_.Form);
  map_->MouseObj().EnableDrag(false);
  Send(WM_RBUTTONDOWN, MK_RBUTTON, 30, 30);
  EXPECT_EQ(State(0), 0);
  EXPECT_FALSE(map_->MouseObj().Dragging());
  Send(WM_RBUTTONUP, 0, 30, 30);
  Send(WM_RBUTTONDOWN, MK_RBUTTON, 5, 95);
  EXPECT_FALSE(map_->MouseObj().Dragging()) << "not between the areas either";
  Send(WM_RBUTTONUP, 0, 5, 95);
  EXPECT_TRUE(log_.empty());
}

TEST_F(SkinMapTest, ADisabledAreaIgnoresTheMouseAndAPressOnItDrags) {
  map_->SetAreaState("first", ssDisabled);
  EXPECT_EQ(Pixel(30, 30), kDisabled);
  Move(30, 30);
  Click(30, 30);
  EXPECT_EQ(State(0), ssDisabled);
  EXPECT_TRUE(log_.empty());
  map_->MouseObj().DragControls().Add(f_.Form);
  map_->MouseObj().EnableDrag(false);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 30, 30);
  EXPECT_TRUE(map_->MouseObj().Dragging());
  Send(WM_LBUTTONUP, 0, 30, 30);
  EXPECT_FALSE(map_->MouseObj().Dragging());
  EXPECT_EQ(f_.Form->Left(), 100);
}

TEST_F(SkinMapTest, DisablingTheMapShowsTheDisabledImageAndEnablingClearsTheStates) {
  Click(150, 50);
  map_->SetEnabled(false);
  UpdateWindow(f_.Form->Handle());
  EXPECT_EQ(State(2), ssDisabled);
  EXPECT_EQ(map_->PaintObj().State(), ssDisabled);
  EXPECT_EQ(Pixel(150, 50), kDisabled);
  EXPECT_EQ(Pixel(5, 5), kOff) << "the background keeps the Off image";
  map_->SetEnabled(true);
  UpdateWindow(f_.Form->Handle());
  EXPECT_EQ(State(2), 0);
  EXPECT_EQ(Pixel(150, 50), kOff);
}

TEST_F(SkinMapTest, LeavingTheAreasRestoresDefaultCursorAndOutAreaHint) {
  map_->SetCursor(1);
  map_->SetDefaultCursor(1);
  map_->SetOutAreaHint("outside");
  EXPECT_EQ(map_->Hint(), "outside");
  Area(0).SetCursor(2);
  Area(0).SetHint("first hint");
  map_->SetChangeCursor(false);
  map_->SetShowHint(false);
  Move(30, 30);
  EXPECT_EQ(map_->Cursor(), 1);
  EXPECT_EQ(map_->Hint(), "outside");
  map_->SetCursor(3);
  map_->SetHint("stale");
  Move(5, 95);
  EXPECT_EQ(map_->Cursor(), 1) << "restored with ChangeCursor off";
  EXPECT_EQ(map_->Hint(), "outside") << "restored with ShowHint off";

  map_->SetChangeCursor(true);
  map_->SetShowHint(true);
  Move(30, 30);
  EXPECT_EQ(map_->Cursor(), 2);
  EXPECT_EQ(map_->Hint(), "first hint");
  Move(100, 40);
  EXPECT_EQ(map_->Cursor(), 0) << "the second area's own cursor";
  EXPECT_EQ(map_->Hint(), "");
  Move(5, 95);
  EXPECT_EQ(map_->Cursor(), 1);
  EXPECT_EQ(map_->Hint(), "outside");
}

TEST_F(SkinMapTest, WithoutOverImageCursorOrHintAMoveDoesNothing) {
  map_->Images()->SetidxOver(-1);
  map_->SetChangeCursor(false);
  map_->SetShowHint(false);
  map_->SetCursor(3);
  map_->SetHint("stale");
  Move(30, 30);
  Move(5, 95);
  Move(30, 30);
  EXPECT_EQ(State(0), 0);
  EXPECT_EQ(map_->Cursor(), 3);
  EXPECT_EQ(map_->Hint(), "stale");
  map_->Images()->SetidxOver(1);
  Move(30, 30);
  EXPECT_EQ(State(0), ssOver);
}

TEST_F(SkinMapTest, LeavingTheControlDropsOverButKeepsCursorAndHint) {
  Area(0).SetCursor(2);
  map_->SetShowHint(true);
  Area(0).SetHint("first hint");
  Move(30, 30);
  EXPECT_EQ(Pixel(30, 30), kOver);
  Move(kMapWidth + 10, 10);  // onto the form beside the map
  EXPECT_EQ(State(0), 0);
  EXPECT_EQ(Pixel(30, 30), kOff);
  EXPECT_EQ(map_->Cursor(), 2);
  EXPECT_EQ(map_->Hint(), "first hint");
}

TEST_F(SkinMapTest, VarAreasRepaintTheOverAreaFromTheOverImageArea) {
  map_->SetVarAreas(true);
  Area(0).SetOverAreaText("0,0,200,100");
  Area(0).SetOverImgAreaText("0,0,200,100");
  Move(30, 30);
  EXPECT_EQ(Pixel(190, 95), kOver) << "the whole over-area";
  EXPECT_EQ(Pixel(5, 5), kOver);
  Move(100, 40);  // the second area: its over-area is empty
  EXPECT_EQ(State(1), ssOver);
  EXPECT_EQ(Pixel(100, 40), kOff) << "an empty over-area repaints nothing";
  EXPECT_EQ(Pixel(190, 95), kOff) << "the first area's over-area shows Off again";
  FullPaint();
  EXPECT_EQ(Pixel(100, 40), kOff) << "a full paint shows Off for an empty over-area";
}

TEST_F(SkinMapTest, RectangleTextsReadThreeFiveAndLetteredFields) {
  TKLXMapArea& a = Area(0);
  a.SetAreaText("1,2,3");
  EXPECT_EQ(a.Area(), (TRect{1, 2, 0, 0}));
  a.SetAreaText("5,6,7,8,9");
  EXPECT_EQ(a.Area(), (TRect{5, 6, 7, 8}));
  a.SetAreaText("x,2,3,4");
  EXPECT_EQ(a.Area(), (TRect{0, 2, 3, 4}));
  EXPECT_EQ(a.AreaText(), "0,2,3,4");
  EXPECT_EQ(a.OverAreaText(), "0,0,0,0");
}

TEST_F(SkinMapTest, DraggingBetweenTheAreasMovesTheRegisteredWindow) {
  map_->MouseObj().DragControls().Add(f_.Form);
  map_->MouseObj().EnableDrag(false);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 5, 95);
  EXPECT_TRUE(map_->MouseObj().Dragging());
  EXPECT_EQ(CaptureControl(), map_);
  Send(WM_MOUSEMOVE, MK_LBUTTON, 25, 105);
  RECT r;
  GetWindowRect(f_.Form->Handle(), &r);
  EXPECT_EQ(r.left, 120);
  EXPECT_EQ(r.top, 110);
  Send(WM_MOUSEMOVE, MK_LBUTTON, 5, 95);  // the grabbed point is under the pointer again
  Send(WM_LBUTTONUP, 0, 5, 95);
  EXPECT_FALSE(map_->MouseObj().Dragging());
  EXPECT_EQ(CaptureControl(), nullptr);
  GetWindowRect(f_.Form->Handle(), &r);
  EXPECT_EQ(r.left, 120);
  EXPECT_EQ(r.top, 110);
  EXPECT_TRUE(log_.empty());
}

TEST_F(SkinMapTest, DraggingMovesTheControlsThatCarryTheMap) {
  auto* panel = new TPanel(f_.Form);
  panel->SetParent(f_.Form);
  panel->SetBounds(10, 10, kMapWidth, kMapHeight);
  map_->SetParent(panel);
  map_->MouseObj().DragControls().Add(panel);
  map_->MouseObj().EnableDrag(false);
  HWND wnd = panel->Handle();
  SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 95));
  SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(12, 90));
  EXPECT_EQ(panel->Left(), 17);
  EXPECT_EQ(panel->Top(), 5);
  SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 95));
  EXPECT_EQ(panel->Left(), 17);
  EXPECT_EQ(panel->Top(), 5);
  EXPECT_EQ(f_.Form->Left(), 100);
}

TEST_F(SkinMapTest, AutoCenterSizesToTheOffImageAfterASkinLoadAndLoadedTakesTheCursor) {
  f_.Form->SetBounds(100, 100, 300, 200);
  map_->SetBounds(0, 0, 50, 50);
  map_->CompAfterLoad();
  EXPECT_EQ(map_->BoundsRect().right, 50) << "AutoCenter is off";
  map_->Skin()->LoadFromText("object X: TKLXSkinMap\n  AutoCenter = True\n  Cursor = 1\nend\n", true);
  EXPECT_EQ(map_->Width(), kMapWidth);
  EXPECT_EQ(map_->Height(), kMapHeight);
  EXPECT_EQ(map_->Left(), 50);
  EXPECT_EQ(map_->Top(), 50);
  EXPECT_EQ(map_->DefaultCursor(), 1) << "taken when the read finished";
  f_.Form->SetBounds(100, 100, 150, 80);
  map_->CompAfterLoad();
  EXPECT_EQ(map_->Left(), 0) << "a parent narrower than the map";
  EXPECT_EQ(map_->Top(), 0);
}

TEST_F(SkinMapTest, EraseBackgroundPaintsOpaqueOrLetsTheParentShowThrough) {
  TKLXSkinDataMapPaintObj& paint = map_->MapData()->PaintObj();
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 20, 20);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  TKLXMessage none{WM_ERASEBKGND, 0, 0, 0};
  paint.HandleEraseBackground(&map_->PaintObj(), none);
  EXPECT_EQ(none.Result, 0) << "no device context: nothing";
  TKLXMessage erase{WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0, 0};
  paint.HandleEraseBackground(&map_->PaintObj(), erase);
  EXPECT_EQ(erase.Result, 1);
  EXPECT_EQ(GetPixel(dc, 5, 5), kOff);
  paint.SetTransparency(0);
  map_->SetBounds(20, 20, kMapWidth, kMapHeight);
  paint.HandleEraseBackground(&map_->PaintObj(), erase);
  EXPECT_EQ(GetPixel(dc, 5, 5), RGB(255, 255, 255)) << "the form's background where the map's corner is";
  POINT origin;
  GetViewportOrgEx(dc, &origin);
  EXPECT_EQ(origin.x, 0) << "the device context is restored";
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

// A window whose definition holds a top bar, as the main window's does.
class TBarForm : public TForm {
  ORV_CLASSINFO(TBarForm)
public:
  using TForm::TForm;
  void TopMapMapClick(TObject*, const std::string& name, int32_t index) {
    clicks.push_back(name + " " + std::to_string(index));
  }
  std::vector<std::string> clicks;
};

const TClassInfo& TBarForm::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TBarForm>("TBarForm", &TForm::StaticClassInfo())
                                     .Method("TopMapMapClick", &TBarForm::TopMapMapClick)
                                     .Info();
  return info;
}

TEST(SkinMapDefinition, AMapReadFromADefinitionBindsItsClickAndWritesEveryRectangle) {
  const std::string text =
      "object BarForm: TBarForm\n"
      "  BorderStyle = bsNone\n"
      "  object TopMap: TKLXSkinMap\n"
      "    Width = 625\n"
      "    Height = 24\n"
      "    Cursor = 1\n"
      "    OutAreaHint = 'Drag me'\n"
      "    Areas = <\n"
      "      item\n"
      "        DisplayName = 'back'\n"
      "        Cursor = 2\n"
      "        Area = '0,0,41,24'\n"
      "      end\n"
      "      item\n"
      "        DisplayName = 'photo'\n"
      "        Cursor = 2\n"
      "        Area = '41,0,90,24'\n"
      "        Link = 'http://www.example.com/'\n"
      "        LinkType = mlWeb\n"
      "      end>\n"
      "    OnMapClick = TopMapMapClick\n"
      "  end\n"
      "end\n";
  auto* form = new TBarForm(Application);
  testsupport::ReadRootFromText(text, form);
  auto* map = dynamic_cast<TKLXSkinMap*>(form->FindComponent("TopMap"));
  ASSERT_NE(map, nullptr);
  EXPECT_EQ(map->Parent(), form);
  EXPECT_EQ(map->DefaultCursor(), 1);
  EXPECT_EQ(map->Hint(), "Drag me");
  ASSERT_EQ(map->Areas().Count(), 2);
  EXPECT_EQ(map->Areas().IndexOfArea("photo"), 1);
  EXPECT_EQ(map->Areas().Items(1)->LinkType(), TKLXMapLinkType::mlWeb);
  EXPECT_EQ(map->Skin()->FormName(), "BarForm");
  map->Areas().Items(1)->SetLink("");
  map->MouseUp(TMouseButton::mbLeft, 0, 10, 5);
  EXPECT_EQ(form->clicks, (std::vector<std::string>{"back 0"}));

  TMemoryStream written;
  WriteRootComponent(written, form);
  const std::string bytes = written.ToString();
  EXPECT_NE(bytes.find("0,0,41,24"), std::string::npos);
  EXPECT_NE(bytes.find("0,0,0,0"), std::string::npos) << "empty rectangles are written too";
  EXPECT_NE(bytes.find("TopMapMapClick"), std::string::npos);
  EXPECT_EQ(bytes.find("SkinData"), std::string::npos) << "the unnamed global skin data is not written";
  delete form;
}

// Registers the shell tests' recorder for "http" and "mailto" while a test runs.
class SkinMapLinkTest : public SkinMapTest {
protected:
  void SetUp() override {
    SkinMapTest::SetUp();
    links_ = std::make_unique<testsupport::TLinkRecorder>("orvasil-map-record.txt");
    links_->Register(testsupport::WinPath(ORVASIL_RECORDER_UNIX));
    MessageBoxProc = [](const std::string&, const std::string&, int32_t, int32_t,
                        std::span<const TKLMsgButton>) -> int32_t {
      ADD_FAILURE() << "no error box expected";
      return 1;
    };
  }
  void TearDown() override {
    MessageBoxProc = ShowMessageBox;
    links_.reset();
    SkinMapTest::TearDown();
  }
  std::string Recorded(size_t lines) { return links_->Recorded(lines); }
  std::unique_ptr<testsupport::TLinkRecorder> links_;
};

TEST_F(SkinMapLinkTest, WebAndMailLinksReachTheRecorderExpandedAndNoneWhileLoading) {
  Area(1).SetLink("http://www.example.com/loading");
  Area(1).SetLinkType(TKLXMapLinkType::mlWeb);
  map_->SetState(csLoading);
  Click(100, 40);
  map_->ClearState(csLoading);
  EXPECT_EQ(log_.back(), "click second 1") << "the event still comes";

  Area(0).SetLink("http://www.example.com/?dir=<WIN>x");
  Area(0).SetLinkType(TKLXMapLinkType::mlWeb);
  Area(2).SetLink("someone@example.com");
  Area(2).SetLinkType(TKLXMapLinkType::mlMail);
  Click(30, 30);
  ASSERT_EQ(Recorded(1), "http://www.example.com/?dir=" + ExpandPathTokens("<win>") + "x\n");
  EXPECT_NE(ExpandPathTokens("<win>"), "<win>");
  Click(150, 50);
  EXPECT_EQ(Recorded(2),
            "http://www.example.com/?dir=" + ExpandPathTokens("<win>") + "x\nmailto:someone@example.com\n");
}

}  // namespace
