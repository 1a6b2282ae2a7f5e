// The main window driven with the mouse: its top bar, its pictures, its links, and how it
// works with the erase wizard.
#include <algorithm>
#include <memory>
#include <string>

#include "link_recorder.h"
#include "mainwin_env.h"

using namespace e2e;

namespace {

// The cursor the system shows now. Another process's cursor handle can be compared, but not
// opened (Wine refuses GetIconInfo on it).
HCURSOR ShownCursor() {
  CURSORINFO info{};
  info.cbSize = sizeof info;
  return GetCursorInfo(&info) ? info.hCursor : nullptr;
}

// A point of the picture area that the programs panel covers and the cover does not look like.
constexpr POINT kPanelPoint{300, kPictureTop + 380};

}  // namespace

TEST_F(MainWindowTest, HasNoFrameIsCentredAndShowsTheTopBarAndTheCover) {
  RECT window{}, client{};
  GetWindowRect(main, &window);
  GetClientRect(main, &client);
  EXPECT_EQ(client.right, 625);
  EXPECT_EQ(client.bottom, 437);
  EXPECT_EQ(window.right - window.left, 625) << "no frame";
  EXPECT_EQ(window.bottom - window.top, 437) << "no caption bar";
  EXPECT_NEAR(window.left, (GetSystemMetrics(SM_CXSCREEN) - 625) / 2, 1);
  EXPECT_NEAR(window.top, (GetSystemMetrics(SM_CYSCREEN) - 437) / 2, 1);
  EXPECT_FALSE(GetWindowLongA(main, GWL_STYLE) & WS_CAPTION);
  // The top bar is navy, the cover is not black: both pictures are drawn.
  const COLORREF bar = ScreenPixel(main, 470, 3);
  EXPECT_LT(GetRValue(bar) + GetGValue(bar), GetBValue(bar) * 2) << std::hex << bar;
  EXPECT_NE(ScreenPixel(main, 300, kPictureTop + 100), RGB(0, 0, 0));
}

TEST_F(MainWindowTest, PhotoOpensTheWizardOnWelcomeAndAgainOnTheDrivePageAfterAbout) {
  Click(kPhoto);
  HWND wizard = WaitForWizard();
  ASSERT_NE(wizard, nullptr);
  HWND next = FindChild(wizard, "Button", "Next >");
  ASSERT_NE(next, nullptr) << "the Welcome page";
  EXPECT_EQ(GetForegroundWindow(), wizard);

  // Leaving from Welcome goes through About; its Exit hides the wizard.
  HWND cancel = FindChild(wizard, "Button", "Cancel");
  ASSERT_NE(cancel, nullptr);
  LeaveWizard(wizard, cancel);
  if (HasFatalFailure()) return;

  Click(kPhoto);
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(wizard) != 0; }, e2e::kStateWaitMs));
  EXPECT_EQ(WindowText(next), "Start") << "the Drive page";

  PostMessageA(wizard, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitFor([&] { return IsIconic(wizard) != 0; }, e2e::kStateWaitMs));
  Click(kPhoto);
  EXPECT_TRUE(WaitFor([&] { return !IsIconic(wizard) && IsWindowVisible(wizard); }, e2e::kStateWaitMs)) << "restored";
  EXPECT_EQ(WindowText(next), "Start") << "the page it was left on";
}

TEST_F(MainWindowTest, ProgramsShowsTheProgramsPictureAndBackFlipsTheTwo) {
  const COLORREF cover = ScreenPixel(main, kPanelPoint.x, kPanelPoint.y);
  Click(kPrograms);
  const COLORREF programs = ScreenPixel(main, kPanelPoint.x, kPanelPoint.y);
  EXPECT_NE(programs, cover);
  Click(kPrograms);
  EXPECT_EQ(ScreenPixel(main, kPanelPoint.x, kPanelPoint.y), programs) << "programs twice keeps it";
  Click(kBack);
  EXPECT_EQ(ScreenPixel(main, kPanelPoint.x, kPanelPoint.y), cover);
  Click(kBack);
  EXPECT_EQ(ScreenPixel(main, kPanelPoint.x, kPanelPoint.y), programs);
  Click(kBack);
  EXPECT_EQ(ScreenPixel(main, kPanelPoint.x, kPanelPoint.y), cover);
}

TEST_F(MainWindowTest, ExitEndsTheProgramWhenTheWizardWasNeverOpened) {
  Click(kExit);
  EXPECT_EQ(program.WaitExit(20000), 0);
}

TEST_F(MainWindowTest, ExitEndsTheProgramWhenTheWizardIsHidden) {
  Click(kPhoto);
  HWND wizard = WaitForWizard();
  ASSERT_NE(wizard, nullptr);
  HWND cancel = FindChild(wizard, "Button", "Cancel");
  ASSERT_NE(cancel, nullptr);
  LeaveWizard(wizard, cancel);
  if (HasFatalFailure()) return;
  Click(kExit);
  EXPECT_EQ(program.WaitExit(20000), 0);
}

TEST_F(MainWindowTest, ExitWhileTheWizardIsShownIsRefusedAndBringsTheWizardForward) {
  Click(kPhoto);
  HWND wizard = WaitForWizard();
  ASSERT_NE(wizard, nullptr);
  ExitIsRefused(wizard);
}

TEST_F(MainWindowTest, DraggingTheTitleMovesTheWindowAndTheAreasKeepWorking) {
  RECT before{}, after{};
  GetWindowRect(main, &before);
  Drag(main, kTitle, {kTitle.x + 40, kTitle.y + 30});
  GetWindowRect(main, &after);
  EXPECT_EQ(after.left - before.left, 40);
  EXPECT_EQ(after.top - before.top, 30);
  // A press on an area is a click, not a drag.
  Drag(main, kPrograms, {kPrograms.x + 5, kPrograms.y + 5});
  RECT still{};
  GetWindowRect(main, &still);
  EXPECT_EQ(still.left, after.left);
  EXPECT_EQ(still.top, after.top);
}

TEST_F(MainWindowTest, TheCursorIsThePointingHandOverAnAreaAndTheMovingHandOverTheTitle) {
  MoveTo(main, kPhoto.x, kPhoto.y);
  const HCURSOR overPhoto = ShownCursor();
  MoveTo(main, 300, kPictureTop + 190);  // the maker's logo
  const HCURSOR overLogo = ShownCursor();
  MoveTo(main, kTitle.x, kTitle.y);
  const HCURSOR overTitle = ShownCursor();
  MoveTo(main, 300, kPictureTop + 100);  // the cover outside its areas
  const HCURSOR overCover = ShownCursor();
  ASSERT_NE(overPhoto, nullptr);
  EXPECT_EQ(overLogo, overPhoto) << "one pointing hand for every area";
  EXPECT_NE(overTitle, overPhoto);
  EXPECT_NE(overTitle, overCover) << "the moving hand is the top bar's own";
  EXPECT_NE(overPhoto, overCover);
  EXPECT_NE(overPhoto, LoadCursor(nullptr, IDC_ARROW));
  EXPECT_NE(overTitle, LoadCursor(nullptr, IDC_ARROW));
}

TEST_F(MainWindowTest, HoveringTheCallOutLightsTheCoverAndLeavingPutsItBack) {
  const POINT watched{440, kPictureTop + 350};  // inside the call-out, away from the pointer
  MoveTo(main, 300, kPictureTop + 100);
  const COLORREF plain = ScreenPixel(main, watched.x, watched.y);
  MoveTo(main, 600, kPictureTop + 320);
  const COLORREF lit = ScreenPixel(main, watched.x, watched.y);
  EXPECT_NE(lit, plain) << std::hex << lit;
  MoveTo(main, 300, kPictureTop + 100);
  EXPECT_EQ(ScreenPixel(main, watched.x, watched.y), plain);
}

// The recorder of the shell tests stands in for the browser registered for http.
class MainWindowLinkTest : public MainWindowTest {
protected:
  void SetUp() override {
    links_ = std::make_unique<testsupport::TLinkRecorder>("orvasil-e2e-record.txt");
    links_->Register(testsupport::WinPath(ORVASIL_RECORDER_UNIX));
    MainWindowTest::SetUp();
  }
  void TearDown() override { links_.reset(); }
  std::string Recorded() { return links_->Recorded(1); }
  std::unique_ptr<testsupport::TLinkRecorder> links_;
};

TEST_F(MainWindowLinkTest, TheMakersLogoOnTheCoverOpensItsWebSite) {
  Click({300, kPictureTop + 190});
  EXPECT_EQ(Recorded(), "http://www.tremalon.example/\n");
}

TEST_F(MainWindowLinkTest, AProgramsBoxOpensThatProgramsPage) {
  Click(kPrograms);
  Click({300, kPictureTop + 340});
  EXPECT_EQ(Recorded(), "http://www.tremalon.example/albaro.htm\n");
}
