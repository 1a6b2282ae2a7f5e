#pragma once
// The erase wizard: Welcome, Drive, Installing, Finish and About pages over one notebook,
// read from its window definition. It owns the drive access component and runs the erase.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "wizard/EraseRun.h"

namespace orv {

class TKLDiskAccess;
class TKLDriveComboBox;
class TKLRichEditOLE;
class TKLStoredStream;
class TMethodObject;
class TTaskbarProgress;

// Page indexes of the wizard.
inline constexpr uint8_t pgWelcome = 0, pgDrive = 1, pgInstalling = 2, pgFinish = 3, pgAbout = 4;

// The wizard's page; it decides, the notebook follows.
extern uint8_t CurrentPage;
// Set when the user left through Exit on the About page; the About page is then not shown again.
extern bool ExitConfirmed;

class TShredForm : public TForm {
  ORV_CLASSINFO(TShredForm)

public:
  explicit TShredForm(TComponent* owner);
  ~TShredForm() override;

  void FormCreate(TObject* Sender);
  void FormDestroy(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void BackBtnClick(TObject* Sender);
  void NextBtnClick(TObject* Sender);
  void CancelBtnClick(TObject* Sender);
  void RestartBtnClick(TObject* Sender);
  void DonateBtnClick(TObject* Sender);
  void DriveBoxChange(TObject* Sender);
  void TopImageClick(TObject* Sender);
  void PageLabelMouseEnter(TObject* Sender);
  void PageLabelMouseLeave(TObject* Sender);
  void RichEditURLClick(TObject* Sender, const std::string& URLText, TMouseButton Button);

  void ActivePageChanged();
  void ApplyLanguage();
  void RunErase();

  bool CancelRequested = false;
  TMethodObject* LanguageLink = nullptr;
  TKLDiskAccess* RDA = nullptr;
  // What the last run did (for the Finish page and for tests).
  const TEraseOutcome& LastOutcome() const { return lastOutcome_; }

  TPanel* TopPanel = nullptr;
  TImage* TopImage = nullptr;
  TLabel* PageShLabel = nullptr;
  TLabel* PageLabel = nullptr;
  TProgressBar* ProgressBar = nullptr;
  TNotebook* Pages = nullptr;
  TKLRichEditOLE* StartRE = nullptr;
  TGroupBox* GroupBox1 = nullptr;
  TKLDriveComboBox* DriveBox = nullptr;
  TLabel* Label3 = nullptr;
  TGroupBox* GroupBox2 = nullptr;
  TComboBox* SizeBox = nullptr;
  TLabel* Label4 = nullptr;
  TLabel* WaitLabel = nullptr;
  TLabel* FiguresLabel = nullptr;
  TLabel* FinishLabel = nullptr;
  TKLRichEditOLE* AboutRE = nullptr;
  TButton* BackBtn = nullptr;
  TButton* NextBtn = nullptr;
  TButton* CancelBtn = nullptr;
  TButton* RestartBtn = nullptr;
  TButton* DonateBtn = nullptr;
  TKLStoredStream* StartStream = nullptr;
  TKLStoredStream* AboutStream = nullptr;

protected:
  void Loaded() override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
  struct TPageRow;
  static const TPageRow kPageRows[];
  void ArriveAtDrivePage();
  bool MayLeaveDrivePage();
  char SelectedLetter() const;
  bool DriveSelected() const;
  void ShowDriveState();
  void RefreshDrives();
  std::string TargetText();
  // Asks the erase question; true after Yes, with the drive it named in confirmed_.
  bool ConfirmErase();
  // The message that refuses the drive, or "" when it may be erased.
  std::string DriveRefusal(char letter) const;
  void ShowPhase(TErasePhase phase);
  void PumpDuringRun();
  // Done: bytes written so far; -1 takes what the run last told.
  void ShowRunFigures(bool force, int64_t done = -1);
  void ShowOutcome(char letter, bool warn);
  void LoadDocument(TKLStoredStream* stream, TKLRichEditOLE* viewer);

  TEraseOutcome lastOutcome_;
  std::unique_ptr<TTaskbarProgress> taskbar_;
  std::string finishTitle_;
  bool running_ = false;
  bool verifying_ = false;
  bool refreshPending_ = false;
  bool asking_ = false;
  TEraseTarget confirmed_;
  uint32_t runStart_ = 0;
  uint32_t figuresShown_ = 0;
  int64_t runWritten_ = 0;
};

extern TShredForm* ShredForm;

// How often the Installing page's figures change, at most.
inline constexpr uint32_t RunFiguresIntervalMs = 500;

}  // namespace orv
