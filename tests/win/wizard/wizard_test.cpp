// The erase wizard on the virtual card, driven through its buttons as a user would; message
// boxes are answered by the test (wizard_env).
#include <windows.h>

#include <dbt.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "disk/KLDisk.h"
#include "gui/Screen.h"
#include "richtext/KLRichEdOLE.h"
#include "shell/KLShellCtrls.h"
#include "sys/KLSysUtils.h"
#include "wizard_env.h"
#include "mount_drive.h"
#include "link_recorder.h"

#include <cstring>

using namespace orv;
using namespace wizardtest;
using testsupport::DefineUnixDrive;

namespace {

constexpr int32_t kExclamation = 32515;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class WizardTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("ORVASIL_CARD_IMAGE"), nullptr) << "run through scripts/lib/vcard";
    before = ReadCardImage();
    ASSERT_FALSE(before.empty());
    w = Wizard();
  }
  void ToDrivePage() {
    w->NextBtn->Click();
    ASSERT_EQ(CurrentPage, pgDrive);
    PickCard();
  }
  // Start, with the answers queued for the boxes that follow.
  void Start() {
    gBoxes.clear();
    w->NextBtn->Click();
  }
  int64_t Size() const { return static_cast<int64_t>(before.size()); }

  TShredForm* w = nullptr;
  std::vector<uint8_t> before;
};

TEST_F(WizardTest, WelcomeThenNextShowsTheDrivePageWithTheCardAndNoSizeGroup) {
  EXPECT_EQ(CurrentPage, pgWelcome);
  EXPECT_EQ(w->Caption(), "Orvasil 2.0");
  EXPECT_EQ(w->PageLabel->Caption(), "Orvasil");
  EXPECT_EQ(w->PageShLabel->Caption(), "Orvasil");
  EXPECT_FALSE(w->BackBtn->Visible());
  EXPECT_EQ(w->NextBtn->Caption(), "Next >");
  EXPECT_TRUE(Has(w->StartRE->Lines().Text(), "Protect your privacy!"));
  EXPECT_EQ(w->ClientWidth(), 472);
  EXPECT_EQ(w->ClientHeight(), 346);
  ASSERT_NO_FATAL_FAILURE(ToDrivePage());
  EXPECT_EQ(w->Pages->PageIndex(), pgDrive);
  EXPECT_EQ(w->PageLabel->Caption(), "Memory Card Information");
  EXPECT_TRUE(w->BackBtn->Visible());
  EXPECT_EQ(w->NextBtn->Caption(), "Start");
  EXPECT_TRUE(w->NextBtn->Enabled());
  EXPECT_FALSE(w->GroupBox2->Visible()) << "the card's geometry can be read";
  for (int i = 0; i < w->DriveBox->ShownDrives().Count(); ++i) {
    const UINT type = GetDriveTypeA(w->DriveBox->ShownDrives().Strings(i).c_str());
    EXPECT_TRUE(type != DRIVE_FIXED && type != DRIVE_REMOTE) << w->DriveBox->ShownDrives().Strings(i);
  }
  EXPECT_EQ(w->SizeBox->Items().Count(), 14);
  EXPECT_EQ(w->SizeBox->Items().Strings(12), "4.7 GB");
  w->BackBtn->Click();
  EXPECT_EQ(CurrentPage, pgWelcome);
}

TEST_F(WizardTest, StartAnsweredNoOrWithEnterLeavesTheCardAndTheDrivePage) {
  ASSERT_NO_FATAL_FAILURE(ToDrivePage());
  AnswerWith(mrNo);
  Start();
  ASSERT_EQ(gBoxes.size(), 1u);
  const TBox& box = gBoxes[0];
  EXPECT_TRUE(Has(box.Text, "Are you sure you want to erase the card content?\r\nTHIS ACTION CANNOT BE UNDONE!"));
  EXPECT_TRUE(Has(box.Text, "Drive to erase: ")) << box.Text;
  EXPECT_TRUE(Has(box.Text, std::string("(") + CardLetter() + ":)")) << box.Text;
  EXPECT_TRUE(Has(box.Text, " MB")) << "the size: " << box.Text;
  EXPECT_EQ(box.Icon, kExclamation);
  EXPECT_EQ(box.DefaultButton, 1);
  EXPECT_EQ(box.Results, (std::vector<int32_t>{mrYes, mrNo}));
  EXPECT_EQ(CurrentPage, pgDrive);
  Start();  // no answer queued: the default button, No
  EXPECT_EQ(CurrentPage, pgDrive);
  EXPECT_TRUE(ReadCardImage() == before);
}

TEST_F(WizardTest, StartAnsweredYesErasesTheCardAndTheFinishPageSumsItUp) {
  ASSERT_NO_FATAL_FAILURE(ToDrivePage());
  AnswerWith(mrYes);
  Start();
  EXPECT_EQ(CurrentPage, pgFinish);
  const TEraseOutcome& out = w->LastOutcome();
  // Wine's 9x services answer a BPB of another volume: the card's end stays unknown there,
  // and a run that could not reach it is told as a failure.
  const bool endKnown = out.VolumeLength > 0;
  ASSERT_EQ(gBoxes.size(), endKnown ? 1u : 2u) << (gBoxes.size() > 1 ? gBoxes[1].Text : "");
  EXPECT_TRUE(out.VolumeOpened);
  EXPECT_EQ(out.BytesNotWritten, 0);
  EXPECT_EQ(w->ProgressBar->Position(), 100);
  EXPECT_FALSE(w->ProgressBar->Visible());
  const std::vector<uint8_t> after = ReadCardImage();
  ASSERT_EQ(after.size(), before.size()) << "the image must not grow";
  const int64_t zeroed = out.BytesWritten;
  EXPECT_EQ(FirstNot(after, 0, zeroed, 0), -1);
  EXPECT_EQ(FirstNot(after, zeroed, Size(), kFill), -1);
  if (!Win98Mode() || out.VolumeLength > 0) {
    EXPECT_EQ(zeroed, Size() / 512 * 512) << "the whole volume";
  }
  if (!endKnown) {
    EXPECT_TRUE(Has(w->FinishLabel->Caption(), "could not be reached")) << w->FinishLabel->Caption();
    EXPECT_TRUE(Has(gBoxes[1].Text, "where the card ends could not be learnt")) << gBoxes[1].Text;
  }
  EXPECT_EQ(w->PageLabel->Caption(), endKnown ? "Finished!" : "Erase failed!");
  EXPECT_TRUE(w->FinishLabel->Visible());
  EXPECT_TRUE(Has(w->FinishLabel->Caption(), "were overwritten with zeros in")) << w->FinishLabel->Caption();
  EXPECT_EQ(Has(w->FinishLabel->Caption(), "FORMAT it there"), endKnown) << w->FinishLabel->Caption();
  EXPECT_TRUE(out.Verified);
  EXPECT_TRUE(Has(w->FinishLabel->Caption(), "read back, all zero")) << w->FinishLabel->Caption();
  EXPECT_TRUE(Has(w->FiguresLabel->Caption(), "Written: ")) << w->FiguresLabel->Caption();
  EXPECT_TRUE(w->RestartBtn->Visible());
  EXPECT_FALSE(w->DonateBtn->Visible());
  EXPECT_EQ(w->CancelBtn->Caption(), "Finish");
  EXPECT_FALSE(w->RDA->Opened()) << "the volume is closed";
  w->RestartBtn->Click();
  EXPECT_EQ(CurrentPage, pgDrive);
}

// Yes to the erase; the close request arrives with the run's first pump, before block 0, and
// is answered with Cancel.
void CancelAtTheFirstBlock(TShredForm* w, int32_t cancelAnswer) {
  gAnswers.push_back([w](const TBox&) {
    PostMessageA(w->Handle(), WM_CLOSE, 0, 0);
    return mrYes;
  });
  AnswerWith(cancelAnswer);
}

// The run writes a run of clusters between two looks at the queue: a cancel confirmed in the
// first look stops after the first run, whose end is the run size from the volume's start.
TEST_F(WizardTest, CancelAnsweredYesStopsAfterTheRunInHandAndSaysSo) {
  ASSERT_NO_FATAL_FAILURE(ToDrivePage());
  CancelAtTheFirstBlock(w, mrYes);
  // Asked while the run is under way: the page offers the bar and Cancel, nothing else.
  gAnswers.back() = [this](const TBox&) {
    EXPECT_EQ(CurrentPage, pgInstalling);
    EXPECT_EQ(w->PageLabel->Caption(), "Working...");
    EXPECT_EQ(w->PageShLabel->Caption(), "Working...");
    EXPECT_FALSE(w->BackBtn->Visible());
    EXPECT_FALSE(w->NextBtn->Visible());
    EXPECT_TRUE(w->ProgressBar->Visible());
    EXPECT_EQ(w->CancelBtn->Caption(), "Cancel");
    EXPECT_FALSE(w->RestartBtn->Visible());
    EXPECT_FALSE(w->DonateBtn->Visible());
    return mrYes;
  };
  Start();
  ASSERT_EQ(gBoxes.size(), 2u);
  EXPECT_EQ(gBoxes[1].Text, "Do you really want to cancel?");
  EXPECT_EQ(gBoxes[1].DefaultButton, 1);
  EXPECT_EQ(CurrentPage, pgFinish);
  const TEraseOutcome& out = w->LastOutcome();
  EXPECT_TRUE(out.Cancelled);
  const int64_t run = EraseRunBytes;
  ASSERT_LT(run, out.BytesToCover) << "the card is longer than one run";
  EXPECT_EQ(out.BytesWritten, run) << "the first run only";
  const std::vector<uint8_t> after = ReadCardImage();
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(FirstNot(after, 0, run, 0), -1);
  EXPECT_EQ(FirstNot(after, run, Size(), kFill), -1);
  EXPECT_EQ(w->PageLabel->Caption(), "Cancelled!");
  EXPECT_TRUE(Has(w->FinishLabel->Caption(), "cancelled after")) << w->FinishLabel->Caption();
  EXPECT_FALSE(Has(w->FinishLabel->Caption(), "FORMAT"));
}

TEST_F(WizardTest, CancelAnsweredNoGoesOnToTheEnd) {
  ASSERT_NO_FATAL_FAILURE(ToDrivePage());
  CancelAtTheFirstBlock(w, mrNo);
  Start();
  const bool endKnown = w->LastOutcome().VolumeLength > 0;
  ASSERT_EQ(gBoxes.size(), endKnown ? 2u : 3u);
  EXPECT_FALSE(w->LastOutcome().Cancelled);
  EXPECT_TRUE(w->LastOutcome().EndReached);
  EXPECT_EQ(w->PageLabel->Caption(), endKnown ? "Finished!" : "Erase failed!");
  EXPECT_EQ(FirstNot(ReadCardImage(), 0, w->LastOutcome().BytesWritten, 0), -1);
}

TEST_F(WizardTest, TheFirstCloseShowsAboutExitHidesAndTheCloseBoxKeepsExitUnconfirmed) {
  EXPECT_EQ(CurrentPage, pgWelcome);
  w->Close();
  EXPECT_TRUE(w->Visible());
  EXPECT_EQ(CurrentPage, pgAbout);
  EXPECT_EQ(w->PageLabel->Caption(), "WWW.TREMALON.EXAMPLE");
  EXPECT_EQ(w->CancelBtn->Caption(), "Exit");
  EXPECT_TRUE(w->DonateBtn->Visible());
  EXPECT_EQ(w->DonateBtn->Caption(), "Donate $10");
  const RECT donate = w->DonateBtn->BoundsRect(), restart = w->RestartBtn->BoundsRect();
  EXPECT_TRUE(EqualRect(&donate, &restart)) << "Donate lies exactly over Process Another Card";
  HWND top = GetWindow(w->RestartBtn->Handle(), GW_HWNDFIRST);
  while (top && top != w->DonateBtn->Handle() && top != w->RestartBtn->Handle()) top = GetWindow(top, GW_HWNDNEXT);
  EXPECT_EQ(top, w->DonateBtn->Handle()) << "Donate lies above Process Another Card";
  POINT middle{donate.left + 10, donate.top + 10};
  ClientToScreen(GetParent(w->DonateBtn->Handle()), &middle);
  EXPECT_EQ(WindowFromPoint(middle), w->DonateBtn->Handle()) << "a click there reaches Donate";
  EXPECT_TRUE(Has(w->AboutRE->Lines().Text(), "donation"));

  PostMessageA(w->Handle(), WM_CLOSE, 0, 0);  // the close box
  Pump();
  EXPECT_FALSE(w->Visible()) << "page " << int(CurrentPage) << " boxes " << gBoxes.size();
  EXPECT_FALSE(ExitConfirmed);
  w->Show();
  w->RestartBtn->Click();
  EXPECT_EQ(CurrentPage, pgDrive);
  w->Close();
  EXPECT_EQ(CurrentPage, pgAbout) << "not confirmed yet: About again";
  EXPECT_TRUE(w->Visible());

  // Esc clicks Exit on the About page.
  EXPECT_TRUE(w->DialogKey(VK_ESCAPE));
  EXPECT_FALSE(w->Visible());
  EXPECT_TRUE(ExitConfirmed);
  w->Show();
  w->RestartBtn->Click();
  w->Close();
  EXPECT_FALSE(w->Visible()) << "after Exit, a close from the Drive page hides at once";
  EXPECT_EQ(CurrentPage, pgDrive);
}

TEST_F(WizardTest, EnterClicksNextAndEscAsksForTheAboutPage) {
  EXPECT_TRUE(w->DialogKey(VK_RETURN));
  EXPECT_EQ(CurrentPage, pgDrive);
  EXPECT_TRUE(w->DialogKey(VK_ESCAPE));
  EXPECT_EQ(CurrentPage, pgAbout);
  EXPECT_TRUE(w->Visible());
}

TEST_F(WizardTest, TheBannerTitleTurnsGoldOnTheAboutPageOnly) {
  w->PageLabel->MouseEnter();
  EXPECT_EQ(w->PageLabel->Font().Color(), TColor(0x00FFFFFF));
  EXPECT_EQ(w->TopImage->Cursor(), crDefault);
  w->Close();
  ASSERT_EQ(CurrentPage, pgAbout);
  EXPECT_EQ(w->TopImage->Cursor(), crKLHandPoint);
  EXPECT_EQ(w->PageLabel->Cursor(), crKLHandPoint);
  w->PageLabel->MouseEnter();
  EXPECT_EQ(w->PageLabel->Font().Color(), TColor(0x0038D6FF));
  w->PageLabel->MouseLeave();
  EXPECT_EQ(w->PageLabel->Font().Color(), TColor(0x00FFFFFF));
  // Process Another Card leaves the About page with nothing of it behind.
  w->RestartBtn->Click();
  ASSERT_EQ(CurrentPage, pgDrive);
  EXPECT_EQ(w->TopImage->Cursor(), crDefault);
  EXPECT_FALSE(w->DonateBtn->Visible());
  EXPECT_FALSE(w->RestartBtn->Visible());
  EXPECT_EQ(w->CancelBtn->Caption(), "Cancel");
  EXPECT_TRUE(w->BackBtn->Visible());
  EXPECT_TRUE(w->NextBtn->Visible());
  EXPECT_EQ(w->NextBtn->Caption(), "Start");
}

// A picker without any drive to offer: Start is disabled and the page says why; a drive that
// comes back is offered at once.
TEST_F(WizardTest, ADriveThatComesAndGoesIsOfferedOrNot) {
  ASSERT_NO_FATAL_FAILURE(ToDrivePage());
  const int before = w->DriveBox->ItemsEx().Count();
  // The picker re-reads the drives on WM_DEVICECHANGE; the filter decides what it offers.
  w->DriveBox->SetDriveTypes(0);
  SendMessageA(w->Handle(), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0);
  EXPECT_EQ(w->DriveBox->ItemsEx().Count(), 0);
  EXPECT_FALSE(w->NextBtn->Enabled());
  EXPECT_FALSE(w->GroupBox2->Visible()) << "no size to ask for without a drive";
  EXPECT_TRUE(Has(w->Label3->Caption(), "No card reader or camera drive was found")) << w->Label3->Caption();
  gBoxes.clear();
  w->NextBtn->Click();
  EXPECT_TRUE(gBoxes.empty()) << "no erase without a drive";
  w->DriveBox->SetDriveTypes(DriveTypeSet({dtUnknown, dtNoRoot, dtRemovable, dtCDROM, dtRAMDISK}));
  SendMessageA(w->Handle(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
  EXPECT_EQ(w->DriveBox->ItemsEx().Count(), before);
  EXPECT_TRUE(w->NextBtn->Enabled());
  EXPECT_TRUE(Has(w->Label3->Caption(), "Note: You can use your card reader"));
  EXPECT_FALSE(w->DriveBox->GetSelectedDrive().empty());
}

TEST_F(WizardTest, AFixedDriveOrTheWindowsDriveIsRefusedWithoutWriting) {
  ASSERT_NO_FATAL_FAILURE(ToDrivePage());
  // Offer every drive, as a picker with another filter would.
  w->DriveBox->SetDriveTypes(0x7F);
  w->DriveBox->Refresh();
  const int system = w->DriveBox->ShownDrives().IndexOf(WindowsPath.substr(0, 3));
  ASSERT_GE(system, 0);
  w->DriveBox->SetItemIndex(system);
  w->DriveBox->Change();
  Start();
  ASSERT_EQ(gBoxes.size(), 1u);
  EXPECT_TRUE(Has(gBoxes[0].Text, "cannot be erased")) << gBoxes[0].Text;
  EXPECT_EQ(CurrentPage, pgDrive);
  // The run refuses it too, should it ever be reached.
  gBoxes.clear();
  CurrentPage = pgInstalling;
  w->ActivePageChanged();
  w->RunErase();
  ASSERT_EQ(gBoxes.size(), 1u);
  EXPECT_TRUE(Has(gBoxes[0].Text, "cannot be erased"));
  EXPECT_EQ(w->LastOutcome().BytesWritten, 0);
  EXPECT_FALSE(w->LastOutcome().VolumeOpened);
  EXPECT_TRUE(ReadCardImage() == before);
}

void BroadcastVolume(HWND wnd, WPARAM event, char letter) {
  DEV_BROADCAST_VOLUME volume{};
  volume.dbcv_size = sizeof volume;
  volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
  volume.dbcv_unitmask = 1u << (letter - 'A');
  SendMessageA(wnd, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume));
}

TEST_F(WizardTest, ACardPluggedInWhileTheDrivePageShowsIsOfferedAndGoesWhenRemoved) {
  ASSERT_NO_FATAL_FAILURE(ToDrivePage());
  const char* prefix = std::getenv("WINEPREFIX");
  ASSERT_NE(prefix, nullptr);
  const std::string dir = std::string(prefix) + "/drive_c";  // any directory will do as its root
  ASSERT_EQ(w->DriveBox->ShownDrives().IndexOf("G:\\"), -1);
  ASSERT_TRUE(DefineUnixDrive(L'G', dir, DRIVE_REMOVABLE));
  BroadcastVolume(w->Handle(), DBT_DEVICEARRIVAL, 'G');
  EXPECT_GE(w->DriveBox->ShownDrives().IndexOf("G:\\"), 0) << "the new card is offered";
  EXPECT_EQ(w->DriveBox->GetSelectedDrive(), CardRoot()) << "the chosen drive stays chosen";
  ASSERT_TRUE(DefineUnixDrive(L'G', "", DRIVE_NO_ROOT_DIR));
  BroadcastVolume(w->Handle(), DBT_DEVICEREMOVECOMPLETE, 'G');
  EXPECT_EQ(w->DriveBox->ShownDrives().IndexOf("G:\\"), -1);
  EXPECT_EQ(w->DriveBox->GetSelectedDrive(), CardRoot());
}

// The Unix directory behind a drive of this prefix (Wine's own export).
std::string UnixDirOf(const std::string& root) {
  using ToUnix = char*(CDECL*)(LPCWSTR);
  const FARPROC proc = GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
  const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(proc));
  if (!toUnix) return std::string();
  const std::wstring wide(root.begin(), root.end());
  char* unix = toUnix(wide.c_str());
  const std::string dir = unix ? unix : "";
  HeapFree(GetProcessHeap(), 0, unix);
  return dir;
}

// While the question is open the confirmed card goes and another volume takes its letter, and
// a further card comes: the picker keeps its list until the answer, and Yes erases nothing.
TEST_F(WizardTest, DrivesThatChangeWhileTheQuestionIsOpenGetNothingWrittenAndTheUserIsToldWhy) {
  ASSERT_NO_FATAL_FAILURE(ToDrivePage());
  const char* prefix = std::getenv("WINEPREFIX");
  ASSERT_NE(prefix, nullptr);
  const std::string hostDir = std::string(prefix) + "/drive_c";
  const std::string cardDir = UnixDirOf(CardRoot());  // another file system: another size
  ASSERT_FALSE(cardDir.empty());
  ASSERT_TRUE(DefineUnixDrive(L'G', hostDir, DRIVE_REMOVABLE));
  BroadcastVolume(w->Handle(), DBT_DEVICEARRIVAL, 'G');
  const int g = w->DriveBox->ShownDrives().IndexOf("G:\\");
  ASSERT_GE(g, 0);
  w->DriveBox->SetItemIndex(g);
  w->DriveBox->Change();

  std::string shownWhileAsked;
  gAnswers.push_back([&](const TBox& box) {
    EXPECT_TRUE(Has(box.Text, "(G:)")) << box.Text;
    EXPECT_TRUE(DefineUnixDrive(L'G', "", DRIVE_NO_ROOT_DIR));
    BroadcastVolume(w->Handle(), DBT_DEVICEREMOVECOMPLETE, 'G');
    EXPECT_TRUE(DefineUnixDrive(L'G', cardDir, DRIVE_REMOVABLE));
    EXPECT_TRUE(DefineUnixDrive(L'H', hostDir, DRIVE_REMOVABLE));
    BroadcastVolume(w->Handle(), DBT_DEVICEARRIVAL, 'G');
    BroadcastVolume(w->Handle(), DBT_DEVICEARRIVAL, 'H');
    shownWhileAsked = w->DriveBox->GetSelectedDrive();
    EXPECT_EQ(w->DriveBox->ShownDrives().IndexOf("H:\\"), -1) << "no refresh while the question is open";
    return mrYes;
  });
  gBoxes.clear();
  w->NextBtn->Click();
  EXPECT_EQ(shownWhileAsked, "G:\\");
  EXPECT_EQ(CurrentPage, pgFinish);
  ASSERT_EQ(gBoxes.size(), 2u);
  EXPECT_TRUE(Has(gBoxes[1].Text, "Drive G: no longer holds the card you confirmed")) << gBoxes[1].Text;
  EXPECT_EQ(w->LastOutcome().Refusal, TEraseRefusal::VolumeChanged);
  EXPECT_FALSE(w->LastOutcome().VolumeOpened);
  EXPECT_EQ(w->LastOutcome().BytesWritten, 0);
  EXPECT_EQ(w->PageLabel->Caption(), "Erase failed!");
  EXPECT_TRUE(ReadCardImage() == before) << "the card of the default drive is untouched";

  w->RestartBtn->Click();
  EXPECT_GE(w->DriveBox->ShownDrives().IndexOf("H:\\"), 0) << "the list is read again once the page shows";
  EXPECT_TRUE(DefineUnixDrive(L'G', "", DRIVE_NO_ROOT_DIR));
  EXPECT_TRUE(DefineUnixDrive(L'H', "", DRIVE_NO_ROOT_DIR));
  BroadcastVolume(w->Handle(), DBT_DEVICEREMOVECOMPLETE, 'G');
}

// Links open through the programs registered for http and mailto: a recorder of the tests.
class WizardLinkTest : public WizardTest {
protected:
  void SetUp() override {
    WizardTest::SetUp();
    recorder_ = std::make_unique<testsupport::TLinkRecorder>("orvasil-wizard-links.txt");
    recorder_->Register(WinPath(ORVASIL_RECORDER_UNIX));
  }
  void TearDown() override {
    recorder_.reset();
    WizardTest::TearDown();
  }
  std::string Recorded(size_t lines) { return recorder_->Recorded(lines); }
  // Clicks the link text in a viewer, as the mouse would.
  void ClickLink(TKLRichEditOLE* viewer, const std::string& link, bool right = false) {
    const int32_t length = static_cast<int32_t>(SendMessageA(viewer->Handle(), WM_GETTEXTLENGTH, 0, 0));
    const size_t at = viewer->TextRange(0, length).find(link);
    ASSERT_NE(at, std::string::npos) << link;
    POINTL p{};
    SendMessageA(viewer->Handle(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), static_cast<LPARAM>(at + 3));
    const LPARAM where = MAKELPARAM(p.x + 2, p.y + 4);
    for (UINT msg : {UINT(WM_MOUSEMOVE), right ? UINT(WM_RBUTTONDOWN) : UINT(WM_LBUTTONDOWN),
                     right ? UINT(WM_RBUTTONUP) : UINT(WM_LBUTTONUP)}) {
      PostMessageA(viewer->Handle(), msg,
                   msg == WM_LBUTTONDOWN   ? MK_LBUTTON
                   : msg == WM_RBUTTONDOWN ? MK_RBUTTON
                                           : 0,
                   where);
      Pump();
    }
  }

  std::unique_ptr<testsupport::TLinkRecorder> recorder_;
};

TEST_F(WizardLinkTest, LinksInBothDocumentsTheBannerAndDonateReachTheRegisteredPrograms) {
  ClickLink(w->StartRE, "http://www.tremalon.example/");
  EXPECT_EQ(Recorded(1), "http://www.tremalon.example/\n");
  w->TopImage->Click();  // the banner opens nothing outside the About page
  w->Close();
  ASSERT_EQ(CurrentPage, pgAbout);
  Pump();
  ClickLink(w->AboutRE, "http://www.tremalon.example/donate.htm", true);  // a right click does nothing
  ClickLink(w->AboutRE, "mailto:support@tremalon.example");
  EXPECT_EQ(Recorded(2), "http://www.tremalon.example/\nmailto:support@tremalon.example\n");
  ClickLink(w->AboutRE, "http://www.tremalon.example/contact.htm");
  EXPECT_EQ(Recorded(3),
            "http://www.tremalon.example/\nmailto:support@tremalon.example\n"
            "http://www.tremalon.example/contact.htm\n");
  w->PageLabel->Click();
  w->DonateBtn->Click();
  EXPECT_EQ(Recorded(5),
            "http://www.tremalon.example/\nmailto:support@tremalon.example\n"
            "http://www.tremalon.example/contact.htm\nhttp://www.tremalon.example/\n"
            "http://www.tremalon.example/donate.htm\n");
  EXPECT_TRUE(gBoxes.empty()) << gBoxes.front().Text;
}

}  // namespace
