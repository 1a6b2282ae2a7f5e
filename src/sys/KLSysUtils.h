#pragma once
// Services the windows share: the program's message box and its button sets, the default
// program of a protocol, standard folders, custom cursors, system fonts, and the activation
// of an instance that is already running.
#include <windows.h>

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "gui/Controls.h"
#include "gui/Graphics.h"
#include "sys/Registry.h"

namespace orv {

struct TKLMsgButton {
  std::string Caption;
  int32_t ModalResult;
};

// Captions come from the language table (LoadButtonCaptions); the modal results are fixed.
extern std::array<TKLMsgButton, 1> OkButtons;
extern std::array<TKLMsgButton, 1> ContinueButtons;
extern std::array<TKLMsgButton, 2> OkCancelButtons;
extern std::array<TKLMsgButton, 2> YesNoButtons;
extern std::array<TKLMsgButton, 3> YesNoCancelButtons;
extern std::array<TKLMsgButton, 2> RetryCancelButtons;
extern std::array<TKLMsgButton, 3> ReplaceAppendCancelButtons;
extern std::array<TKLMsgButton, 2> UpgradeCloseButtons;
extern std::array<TKLMsgButton, 3> OverwriteResumeCancelButtons;
extern std::array<TKLMsgButton, 2> OverwriteCancelButtons;
extern std::array<TKLMsgButton, 3> RenameOverwriteCancelButtons;

void LoadButtonCaptions();

// Icon: a standard icon id such as IDI_EXCLAMATION (32515), or 0 for none. DefaultButton is
// an index into Buttons. Answers the modal result of the pressed button (mrCancel when the
// box is closed by its close box).
int32_t ShowMessageBox(const std::string& msg, const std::string& caption, int32_t icon, int32_t defaultButton,
                       std::span<const TKLMsgButton> buttons);
using TMessageBoxProc = int32_t (*)(const std::string& msg, const std::string& caption, int32_t icon,
                                    int32_t defaultButton, std::span<const TKLMsgButton> buttons);
extern TMessageBoxProc MessageBoxProc;

class TKLRegistry : public TRegistry {
public:
  TKLRegistry() : TRegistry(KEY_READ) {}
  std::string ClassName() const override { return "TKLRegistry"; }
};

std::string ReadRegString(const TKLRegistry& reg, const std::string& name, const std::string& defaultValue);
// The registered open command of a protocol or document type ("http", "mailto"), split into
// the program path and its parameters without the "%1"-style placeholders.
bool GetDefaultProgram(const std::string& name, std::string& program, std::string& params);
void CenterInParent(TControl* control);

extern std::string TempPath;
extern std::string WindowsPath;
extern std::string SystemPath;
extern std::string ProgramFilesPath;
extern std::string ExePath;

extern TFont* MessageFont;
extern TFont* CaptionFont;
extern int32_t CaptionButtonWidth;

// Screen cursors of the program.
constexpr int crKLHandMove = 1;
constexpr int crKLHandPoint = 2;
constexpr int crKLPick = 3;

bool ActivatePreviousInstance(const std::string& title);
BOOL CALLBACK FindAppWindowProc(HWND wnd, LPARAM param);
std::string GetWindowClassName(HWND wnd);
std::string GetWindowCaption(HWND wnd);
void ShowWindowNoAnimation(HWND wnd, int cmdShow);
void BringWindowForward(HWND wnd);

void InitializeKLSysUtils();
void FinalizeKLSysUtils();

}  // namespace orv
