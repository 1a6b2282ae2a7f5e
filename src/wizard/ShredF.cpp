#include "wizard/ShredF.h"

#include <dbt.h>

#include <cctype>
#include <iterator>

#include "base/ScopeGuard.h"
#include "disk/KLDisk.h"
#include "win/OSError.h"
#include "lang/KLXLang.h"
#include "richtext/KLRichEdOLE.h"
#include "shell/KLShellCtrls.h"
#include "shell/KLShellUtils.h"
#include "skin/KLClasses.h"
#include "sys/KLString.h"
#include "sys/KLSysUtils.h"
#include "wizard/EraseReport.h"
#include "wizard/Taskbar.h"

namespace orv {

uint8_t CurrentPage = pgWelcome;
bool ExitConfirmed = false;
TShredForm* ShredForm = nullptr;

namespace {

constexpr int32_t kIconExclamation = 32515;  // IDI_EXCLAMATION
constexpr int32_t kIconQuestion = 32514;     // IDI_QUESTION
constexpr int32_t kIconHand = 32513;         // IDI_HAND
constexpr TColor kTitleWhite = 0x00FFFFFF;
constexpr TColor kTitleGold = 0x0038D6FF;

std::string Word(const char* key) { return GlobalLanguage->GetWord(key); }

int32_t Ask(const std::string& text, int32_t icon, int32_t defaultButton, std::span<const TKLMsgButton> buttons) {
  return MessageBoxProc(text, std::string(), icon, defaultButton, buttons);
}

}  // namespace

const TClassInfo& TShredForm::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TShredForm>("TShredForm", &TForm::StaticClassInfo())
                                     .Method("FormCreate", &TShredForm::FormCreate)
                                     .Method("FormDestroy", &TShredForm::FormDestroy)
                                     .Method("FormCloseQuery", &TShredForm::FormCloseQuery)
                                     .Method("BackBtnClick", &TShredForm::BackBtnClick)
                                     .Method("NextBtnClick", &TShredForm::NextBtnClick)
                                     .Method("CancelBtnClick", &TShredForm::CancelBtnClick)
                                     .Method("RestartBtnClick", &TShredForm::RestartBtnClick)
                                     .Method("DonateBtnClick", &TShredForm::DonateBtnClick)
                                     .Method("DriveBoxChange", &TShredForm::DriveBoxChange)
                                     .Method("TopImageClick", &TShredForm::TopImageClick)
                                     .Method("PageLabelMouseEnter", &TShredForm::PageLabelMouseEnter)
                                     .Method("PageLabelMouseLeave", &TShredForm::PageLabelMouseLeave)
                                     .Method("RichEditURLClick", &TShredForm::RichEditURLClick)
                                     .Info();
  return info;
}

TShredForm::TShredForm(TComponent* owner) : TForm(owner) {
  RDA = new TKLDiskAccess(this);
  ShredForm = this;
}

TShredForm::~TShredForm() {
  if (ShredForm == this) ShredForm = nullptr;
}

void TShredForm::Loaded() {
  TForm::Loaded();
  TopPanel = Part<TPanel>("TopPanel");
  TopImage = Part<TImage>("TopImage");
  PageShLabel = Part<TLabel>("PageShLabel");
  PageLabel = Part<TLabel>("PageLabel");
  ProgressBar = Part<TProgressBar>("ProgressBar");
  Pages = Part<TNotebook>("Pages");
  StartRE = Part<TKLRichEditOLE>("StartRE");
  GroupBox1 = Part<TGroupBox>("GroupBox1");
  DriveBox = Part<TKLDriveComboBox>("DriveBox");
  Label3 = Part<TLabel>("Label3");
  GroupBox2 = Part<TGroupBox>("GroupBox2");
  SizeBox = Part<TComboBox>("SizeBox");
  Label4 = Part<TLabel>("Label4");
  WaitLabel = Part<TLabel>("WaitLabel");
  FiguresLabel = Part<TLabel>("FiguresLabel");
  FinishLabel = Part<TLabel>("FinishLabel");
  AboutRE = Part<TKLRichEditOLE>("AboutRE");
  BackBtn = Part<TButton>("BackBtn");
  NextBtn = Part<TButton>("NextBtn");
  CancelBtn = Part<TButton>("CancelBtn");
  RestartBtn = Part<TButton>("RestartBtn");
  DonateBtn = Part<TButton>("DonateBtn");
  StartStream = Part<TKLStoredStream>("StartStream");
  AboutStream = Part<TKLStoredStream>("AboutStream");
}

void TShredForm::FormCreate(TObject*) {
  // The banner panel paints its own white background (TPanel does, also under visual styles).
  TopPanel->SetColor(clWhite);
  LanguageLink = RegisterLanguageMethod(this, &TShredForm::ApplyLanguage);
  ExitConfirmed = false;
  if (DriveBox->ItemsEx().Count() > 1) DriveBox->SetItemIndex(1);
  taskbar_ = std::make_unique<TTaskbarProgress>(Application->Handle());
  CurrentPage = pgWelcome;
  ActivePageChanged();
}

void TShredForm::FormDestroy(TObject*) {
  UnregisterLanguageInit(LanguageLink);
  LanguageLink = nullptr;
  taskbar_.reset();
}

void TShredForm::LoadDocument(TKLStoredStream* stream, TKLRichEditOLE* viewer) {
  stream->BinStream()->SetPosition(0);
  viewer->Lines().LoadFromStream(*stream->BinStream());
}

void TShredForm::ApplyLanguage() {
  SetCaption(Application->Title() + " 2.0");
  BackBtn->SetCaption("< " + Word("CapBack"));
  NextBtn->SetCaption(Word("CapNext") + " >");
  GroupBox1->SetCaption(Word("CapSelectCardOrCamera"));
  GroupBox2->SetCaption(Word("CapSelectCardSize"));
  Label4->SetCaption(Word("TxtSecureEraserSelectCardSizeNote"));
  WaitLabel->SetCaption(Word("TxtSecureEraserPleaseWait"));
  RestartBtn->SetCaption(Word("CapProcessAnotherCard"));
  DonateBtn->SetCaption(FormatText(Word("CapDonateS"), {"$10"}));
  DonateBtn->SetBounds(RestartBtn->Left(), RestartBtn->Top(), RestartBtn->Width(), DonateBtn->Height());
  // Siblings made earlier lie above later ones; Donate must cover Process Another Card. Tab
  // keeps the definition's order, which does not follow the windows' stacking.
  SetWindowPos(DonateBtn->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ShowDriveState();
  LoadDocument(StartStream, StartRE);
  LoadDocument(AboutStream, AboutRE);
}

// Row by row in page order: what a page shows when it comes up, and what Next does on it.
// A caption is a word of the language table with a fixed ending; no Next word hides Next.
struct TShredForm::TPageRow {
  const char* title;
  const char* titleEnd;
  bool back;
  const char* next;
  const char* nextEnd;
  const char* cancel;
  bool restart;
  bool donate;
  bool progress;
  int32_t bannerCursor;
  // Asked before Next leaves the page; null lets it go on.
  bool (TShredForm::*mayLeave)();
  // Done once the page is up; null does nothing.
  void (TShredForm::*arrive)();
  // The page runs the erase when Next brings it up, then goes on by itself.
  bool runsErase;
};

const TShredForm::TPageRow TShredForm::kPageRows[] = {
    // pgWelcome
    {"CapTremalonSecureEraser", "", false, "CapNext", " >", "CapCancel", false, false, false, crDefault, nullptr,
     nullptr, false},
    // pgDrive
    {"CapMemoryCardInformation", "", true, "CapStart", "", "CapCancel", false, false, false, crDefault,
     &TShredForm::MayLeaveDrivePage, &TShredForm::ArriveAtDrivePage, false},
    // pgInstalling
    {"CapWorking", "...", false, nullptr, "", "CapCancel", false, false, true, crDefault, nullptr, nullptr, true},
    // pgFinish: the run may have put its own title in finishTitle_
    {"CapFinished", "!", false, nullptr, "", "CapFinish", true, false, false, crDefault, nullptr, nullptr, false},
    // pgAbout
    {"ntCapUpTremalonWeb", "", false, nullptr, "", "CapExit", true, true, false, crKLHandPoint, nullptr, nullptr,
     false},
};
void TShredForm::ActivePageChanged() {
  static_assert(std::size(kPageRows) == pgAbout + 1, "a row for every page");
  Pages->SetPageIndex(CurrentPage);
  const TPageRow& row = kPageRows[CurrentPage];
  const bool ownTitle = CurrentPage == pgFinish && !finishTitle_.empty();
  PageLabel->SetCaption(ownTitle ? finishTitle_ : Word(row.title) + row.titleEnd);
  PageShLabel->SetCaption(PageLabel->Caption());
  BackBtn->SetVisible(row.back);
  if (row.next) {
    NextBtn->SetCaption(Word(row.next) + row.nextEnd);
    NextBtn->SetEnabled(true);
  }
  NextBtn->SetVisible(row.next != nullptr);
  CancelBtn->SetCaption(Word(row.cancel));
  RestartBtn->SetVisible(row.restart);
  DonateBtn->SetVisible(row.donate);
  ProgressBar->SetVisible(row.progress);
  for (TControl* c :
       {static_cast<TControl*>(PageLabel), static_cast<TControl*>(PageShLabel), static_cast<TControl*>(TopImage)})
    c->SetCursor(row.bannerCursor);
  if (row.arrive) (this->*row.arrive)();
}

// The drive list may have changed while another page was up.
void TShredForm::ArriveAtDrivePage() {
  if (refreshPending_) RefreshDrives();
  DriveBoxChange(this);
}

// Start goes on only with a drive that may be erased and a Yes to the erase question.
bool TShredForm::MayLeaveDrivePage() {
  if (!DriveSelected()) return false;
  const std::string refusal = DriveRefusal(SelectedLetter());
  if (!refusal.empty()) {
    Ask(refusal, kIconHand, 0, OkButtons);
    return false;
  }
  return ConfirmErase();
}

char TShredForm::SelectedLetter() const {
  const std::string root = DriveBox->GetSelectedDrive();
  return root.empty() ? 0 : root[0];
}

bool TShredForm::DriveSelected() const { return SelectedLetter() != 0; }

// With no drive to pick, Start stays disabled and the note says why.
void TShredForm::ShowDriveState() {
  const bool any = DriveSelected();
  Label3->SetCaption(Word(any ? "TxtSelectCardOrCameraNote" : "TxtNoCardDriveFound"));
  if (CurrentPage == pgDrive) NextBtn->SetEnabled(any);
}

void TShredForm::DriveBoxChange(TObject*) {
  ShowDriveState();
  if (CurrentPage != pgDrive) return;
  RDA->SetLogicalDrive(SelectedLetter());
  GroupBox2->SetVisible(DriveSelected() && !EraseGeometryUsable(RDA->Geometry));
}

void TShredForm::RefreshDrives() {
  refreshPending_ = false;
  DriveBox->Refresh();
  ShowDriveState();
}

std::string TShredForm::DriveRefusal(char letter) const {
  const std::string root = std::string(1, letter) + ":\\";
  const UINT type = GetDriveTypeA(root.c_str());
  const bool holdsWindows = !WindowsPath.empty() && std::toupper(static_cast<unsigned char>(WindowsPath[0])) ==
                                                        std::toupper(static_cast<unsigned char>(letter));
  if (type != DRIVE_FIXED && type != DRIVE_REMOTE && !holdsWindows) return std::string();
  return FormatText(Word("MsgDriveNotErasableS"), {std::string(1, letter) + ":"});
}

// The drive as the picker shows it, its label and its size.
std::string TShredForm::TargetText() {
  const int index = DriveBox->ItemIndex();
  std::string text = index >= 0 && index < DriveBox->ItemsEx().Count()
                         ? Trim(DriveBox->ItemsEx().Items(index)->DisplayName())
                         : std::string();
  if (text.empty()) text = std::string(1, SelectedLetter()) + ":";
  const std::string& label = RDA->MediaID().VolumeLabel;
  if (!label.empty() && text.find(label) == std::string::npos) text += " \"" + label + "\"";
  const TDiskGeometry& g = RDA->Geometry;
  const int size = SizeBox->ItemIndex();
  if (EraseGeometryUsable(g) && g.TotalBytes > 0)
    text += ", " + SizeText(g.TotalBytes);
  else if (size >= 0 && size < SizeBox->Items().Count())
    text += ", " + SizeBox->Items().Strings(size);
  return FormatText(Word("TxtEraseTargetS"), {text});
}

void TShredForm::BackBtnClick(TObject*) {
  if (CurrentPage == 0) return;
  --CurrentPage;
  ActivePageChanged();
}

void TShredForm::NextBtnClick(TObject*) {
  if (running_) return;
  const TPageRow& row = kPageRows[CurrentPage];
  if (row.mayLeave && !(this->*row.mayLeave)()) return;
  if (CurrentPage == pgAbout) return;
  ++CurrentPage;
  ActivePageChanged();
  if (kPageRows[CurrentPage].runsErase) {
    RunErase();
    NextBtnClick(this);
  }
}

// The drive is fixed before the question, so that Yes erases only what the question named.
// While the box is open the picker keeps its list: a drive change then waits for the answer.
bool TShredForm::ConfirmErase() {
  RDA->SetLogicalDrive(SelectedLetter());
  confirmed_ = EraseTargetOf(*RDA);
  const std::string question = Word("MsgConfirmEraseCard") + "\r\n\r\n" + TargetText();
  asking_ = true;
  int32_t answer = mrNo;
  {
    TScopeGuard asked([this] { asking_ = false; });
    answer = Ask(question, kIconExclamation, 1, YesNoButtons);
  }
  if (answer == mrYes) return true;
  confirmed_ = TEraseTarget();
  if (refreshPending_) {
    RefreshDrives();
    DriveBoxChange(this);
  }
  return false;
}

void TShredForm::RestartBtnClick(TObject*) {
  CurrentPage = pgDrive;
  ActivePageChanged();
}

void TShredForm::CancelBtnClick(TObject*) {
  if (CurrentPage == pgAbout) ExitConfirmed = true;
  Close();
}

void TShredForm::FormCloseQuery(TObject*, bool& CanClose) {
  switch (CurrentPage) {
    case pgInstalling:
      CanClose = false;
      if (Ask(Word("MsgDoYouReallyWantCancel"), kIconQuestion, 1, YesNoButtons) == mrYes) CancelRequested = true;
      return;
    case pgAbout: CanClose = true; return;
    default:
      if (ExitConfirmed) {
        CanClose = true;
        return;
      }
      CurrentPage = pgAbout;
      ActivePageChanged();
      CanClose = false;
  }
}

void TShredForm::TopImageClick(TObject*) {
  if (CurrentPage == pgAbout) OpenWebLink(Word("ntURLTremalonWeb"));
}

void TShredForm::PageLabelMouseEnter(TObject*) {
  if (CurrentPage == pgAbout) PageLabel->Font().SetColor(kTitleGold);
}

void TShredForm::PageLabelMouseLeave(TObject*) { PageLabel->Font().SetColor(kTitleWhite); }

void TShredForm::DonateBtnClick(TObject*) { OpenWebLink(Word("ntURLTremalonDonate")); }

void TShredForm::RichEditURLClick(TObject*, const std::string& URLText, TMouseButton Button) {
  if (Button != TMouseButton::mbLeft) return;
  if (URLText.find("mailto:") != std::string::npos)
    SendMail(URLText);
  else
    OpenWebLink(URLText);
}

// ---- the erase run ---------------------------------------------------------------------

void TShredForm::RunErase() {
  running_ = true;
  TScopeGuard done([this] { running_ = false; });
  lastOutcome_ = TEraseOutcome();
  finishTitle_.clear();
  verifying_ = false;
  FinishLabel->SetCaption(std::string());
  FiguresLabel->SetCaption(std::string());
  ProgressBar->SetPosition(0);
  runStart_ = GetTickCount();
  figuresShown_ = runStart_;
  runWritten_ = 0;
  // Reached without the question (tests, the bench): the drive the picker shows now.
  if (confirmed_.Letter == 0) {
    RDA->SetLogicalDrive(SelectedLetter());
    confirmed_ = EraseTargetOf(*RDA);
  }
  const TEraseTarget target = confirmed_;
  confirmed_ = TEraseTarget();
  const char letter = target.Letter;
  const std::string refusal = letter ? DriveRefusal(letter) : std::string();
  if (!letter || !refusal.empty()) {
    lastOutcome_.Refusal = TEraseRefusal::NoDrive;
    if (!refusal.empty()) Ask(refusal, kIconHand, 0, OkButtons);
    return ShowOutcome(letter, refusal.empty());
  }
  TEraseHooks hooks;
  hooks.ProcessMessages = [this] { PumpDuringRun(); };
  hooks.SetProgressPosition = [this](int32_t position) { ProgressBar->SetPosition(position); };
  hooks.Clock = [] { return static_cast<uint32_t>(GetTickCount()); };
  hooks.PhaseChanged = [this](TErasePhase phase) { ShowPhase(phase); };
  hooks.BytesWritten = [this](int64_t written) { runWritten_ = written; };
  lastOutcome_ = EraseCard(*RDA, target, SizeBox->ItemIndex(), CancelRequested, hooks);
  verifying_ = false;
  ShowRunFigures(true, lastOutcome_.BytesWritten);
  ShowOutcome(letter, true);
}

// The read-back has a title of its own; the figures keep what was written.
void TShredForm::ShowPhase(TErasePhase phase) {
  if (phase == TErasePhase::Verifying) ShowRunFigures(true);
  verifying_ = phase == TErasePhase::Verifying;
  PageLabel->SetCaption(Word(verifying_ ? "CapVerifying" : "CapWorking") + "...");
  PageShLabel->SetCaption(PageLabel->Caption());
}

void TShredForm::PumpDuringRun() {
  ShowRunFigures(false);
  Application->ProcessMessages();
}

// Written so far, as the run last told it; the clock keeps this to twice a second.
void TShredForm::ShowRunFigures(bool force, int64_t done) {
  const uint32_t now = GetTickCount();
  if (!force && (verifying_ || now - figuresShown_ < RunFiguresIntervalMs)) return;
  figuresShown_ = now;
  const TDiskGeometry& g = RDA->Geometry;
  const int64_t total = RDA->VolumeLength() > 0 ? RDA->VolumeLength() : (g.TotalClusters + 1) * g.BytesPerCluster;
  if (done < 0) done = runWritten_;
  FiguresLabel->SetCaption(EraseProgressText(done, total, now - runStart_));
  if (taskbar_) taskbar_->SetProgress(done, total);
}

void TShredForm::ShowOutcome(char letter, bool warn) {
  TEraseContext context;
  context.Drive = letter ? std::string(1, letter) + ":" : std::string();
  context.ElapsedMs = GetTickCount() - runStart_;
  if (lastOutcome_.LastSystemError != 0) {
    // The system's sentence goes inside ours: without its own full stop.
    context.SystemError = Trim(SysErrorMessage(lastOutcome_.LastSystemError));
    if (!context.SystemError.empty() && context.SystemError.back() == '.') context.SystemError.pop_back();
  }
  const TEraseReport report = ReportErase(lastOutcome_, context);
  finishTitle_ = report.Title;
  FinishLabel->SetCaption(report.Summary);
  if (taskbar_) report.Failed ? taskbar_->SetError() : taskbar_->Clear();
  if (warn && !report.Warning.empty()) Ask(report.Warning, kIconExclamation, 0, OkButtons);
  if (taskbar_) taskbar_->Clear();
}

LRESULT TShredForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DEVICECHANGE && (wp == DBT_DEVICEARRIVAL || wp == DBT_DEVICEREMOVECOMPLETE)) {
    // During a run the picker keeps its list; it is read again when the Drive page shows.
    if (running_ || asking_)
      refreshPending_ = true;
    else
      RefreshDrives();
    return TRUE;
  }
  return TForm::WndProc(msg, wp, lp);
}

}  // namespace orv
