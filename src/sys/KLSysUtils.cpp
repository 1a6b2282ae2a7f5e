#include <windows.h>

#include "sys/KLSysUtils.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <utility>

#include "base/ScopeGuard.h"
#include "base/StringList.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "gui/WindowNames.h"
#include "win/WinCompat.h"
#include "win/WinText.h"
#include "lang/KLXLang.h"
#include "sys/KLString.h"

namespace orv {

std::array<TKLMsgButton, 1> OkButtons = {{{"", mrOk}}};
std::array<TKLMsgButton, 1> ContinueButtons = {{{"", mrOk}}};
std::array<TKLMsgButton, 2> OkCancelButtons = {{{"", mrOk}, {"", mrCancel}}};
std::array<TKLMsgButton, 2> YesNoButtons = {{{"", mrYes}, {"", mrNo}}};
std::array<TKLMsgButton, 3> YesNoCancelButtons = {{{"", mrYes}, {"", mrNo}, {"", mrCancel}}};
std::array<TKLMsgButton, 2> RetryCancelButtons = {{{"", mrRetry}, {"", mrCancel}}};
std::array<TKLMsgButton, 3> ReplaceAppendCancelButtons = {{{"", mrYes}, {"", mrNo}, {"", mrCancel}}};
std::array<TKLMsgButton, 2> UpgradeCloseButtons = {{{"", mrOk}, {"", mrCancel}}};
std::array<TKLMsgButton, 3> OverwriteResumeCancelButtons = {{{"", mrRetry}, {"", mrOk}, {"", mrCancel}}};
std::array<TKLMsgButton, 2> OverwriteCancelButtons = {{{"", mrRetry}, {"", mrCancel}}};
std::array<TKLMsgButton, 3> RenameOverwriteCancelButtons = {{{"", mrOk}, {"", mrRetry}, {"", mrCancel}}};

TMessageBoxProc MessageBoxProc = nullptr;
std::string TempPath, WindowsPath, SystemPath, ProgramFilesPath, ExePath;
TFont* MessageFont = nullptr;
TFont* CaptionFont = nullptr;
int32_t CaptionButtonWidth = 16;

namespace {

struct TButtonSet {
  std::span<TKLMsgButton> Buttons;
  std::vector<const char*> Keys;
};

const std::vector<TButtonSet>& ButtonSets() {
  static const std::vector<TButtonSet> sets = {
      {OkButtons, {"CapOK"}},
      {ContinueButtons, {"CapContinue"}},
      {OkCancelButtons, {"CapOK", "CapCancel"}},
      {YesNoButtons, {"CapYes", "CapNo"}},
      {YesNoCancelButtons, {"CapYes", "CapNo", "CapCancel"}},
      {RetryCancelButtons, {"CapRetry", "CapCancel"}},
      {ReplaceAppendCancelButtons, {"CapReplace", "CapAppend", "CapCancel"}},
      {UpgradeCloseButtons, {"CapUpgradeToPRO", "CapClose"}},
      {OverwriteResumeCancelButtons, {"CapOverwrite", "CapResume", "CapCancel"}},
      {OverwriteCancelButtons, {"CapOverwrite", "CapCancel"}},
      {RenameOverwriteCancelButtons, {"CapRename", "CapOverwrite", "CapCancel"}},
  };
  return sets;
}

TProcedureObject* gButtonCaptionsEntry = nullptr;
std::string SearchClass;
std::string SearchTitle;

// Quotes go; so does every word from a "%" (the "%1" placeholders) up to the next space.
std::string CleanParams(std::string params) {
  params = Trim(params);
  params.erase(std::remove(params.begin(), params.end(), '"'), params.end());
  for (size_t p = params.find('%'); p != std::string::npos; p = params.find('%', p)) {
    size_t end = params.find(' ', p);
    params.erase(p, end == std::string::npos ? std::string::npos : end - p);
  }
  return Trim(params);
}

// The end of the program path: just after the right-most ".EXE", ".BAT" or ".COM".
size_t ProgramPathEnd(const std::string& value) {
  for (size_t end = value.size(); end >= 4; --end) {
    const std::string ext = AnsiUpperCase(value.substr(end - 4, 4));
    if (ext == ".EXE" || ext == ".BAT" || ext == ".COM") return end;
  }
  return std::string::npos;
}

std::string ExpandEnvironment(const std::string& path) {
  char buf[MAX_PATH];
  DWORD n = ExpandEnvironmentStringsA(path.c_str(), buf, MAX_PATH);
  return (n == 0 || n > MAX_PATH) ? path : std::string(buf);
}

void LoadSystemFonts() {
  MessageFont = new TFont;
  CaptionFont = new TFont;
  NONCLIENTMETRICSA ncm{};
  // The size without the padded border field, which the older systems reject.
  ncm.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0)) {
    MessageFont->SetLogFont(ncm.lfMessageFont);
    CaptionFont->SetLogFont(ncm.lfCaptionFont);
    CaptionButtonWidth = ncm.iCaptionWidth;
  } else {
    LOGFONTA lf{};
    GetObjectA(GetStockObject(SYSTEM_FONT), sizeof lf, &lf);
    MessageFont->SetLogFont(lf);
    CaptionFont->SetLogFont(lf);
    CaptionButtonWidth = 16;
  }
}

// Where the parts of a message box go, in client coordinates.
struct TMessageBoxLayout {
  int32_t ClientWidth = 0;
  int32_t ClientHeight = 0;
  RECT Icon{};
  RECT Text{};
  int32_t ButtonsLeft = 0;
  int32_t ButtonsTop = 0;
  int32_t ButtonWidth = 0;
  int32_t ButtonHeight = 0;
  int32_t ButtonSpacing = 0;
};

// Sizes from the message font (margins in dialog units of its "M") and the screen's pixels
// per inch (buttons); the box is as wide as its title, its text or its buttons need.
TMessageBoxLayout LayoutMessageBox(TForm& form, const std::string& msg, bool hasIcon,
                                   std::span<const TKLMsgButton> buttons) {
  TCanvas& canvas = form.Canvas();
  canvas.Font().Assign(CaptionFont);
  const int32_t titleWidth = canvas.TextWidth(form.Caption()) + 2 * CaptionButtonWidth;
  canvas.Font().Assign(MessageFont);
  const SIZE m = canvas.TextExtent("M");
  const int32_t horzMargin = MulDiv(8, m.cx, 4);
  const int32_t vertMargin = MulDiv(8, m.cy, 8);
  const int32_t horzSpacing = MulDiv(10, m.cx, 4);
  const int32_t vertSpacing = MulDiv(10, m.cy, 8);
  const int32_t ppi = Screen->PixelsPerInch();

  TMessageBoxLayout l;
  l.ButtonSpacing = MulDiv(7, ppi, 96);
  l.ButtonWidth = MulDiv(75, ppi, 96);
  l.ButtonHeight = MulDiv(25, ppi, 96);
  for (const TKLMsgButton& b : buttons)
    l.ButtonWidth = std::max(l.ButtonWidth, canvas.TextWidth(b.Caption) + 4 * l.ButtonSpacing);
  const int32_t count = static_cast<int32_t>(buttons.size());
  const int32_t buttonsWidth = count * l.ButtonWidth + (count - 1) * l.ButtonSpacing;

  RECT text{0, 0, Screen->Width() / 2, 0};
  UINT format = DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;
  if (form.UseRightToLeftReading()) format |= DT_RTLREADING;
  canvas.DrawText(msg, text, format);
  int32_t messageWidth = text.right, messageHeight = text.bottom, textLeft = horzMargin;
  if (hasIcon) {
    l.Icon = RECT{horzMargin, vertMargin, horzMargin + 32, vertMargin + 32};
    messageWidth += horzSpacing + 32;
    messageHeight = std::max<int32_t>(messageHeight, 32);
    textLeft += horzSpacing + 32;
  }
  l.ClientWidth = std::max(titleWidth, std::max(messageWidth, buttonsWidth) + 2 * horzMargin);
  l.ClientHeight = messageHeight + l.ButtonHeight + vertSpacing + 2 * vertMargin;
  if (form.UseRightToLeftReading()) textLeft = l.ClientWidth - textLeft - text.right;
  int32_t textTop = vertMargin;
  if (hasIcon && text.bottom < 32) textTop += (32 - text.bottom) / 2;
  l.Text = RECT{textLeft, textTop, textLeft + text.right, textTop + text.bottom};
  l.ButtonsLeft = (l.ClientWidth - buttonsWidth) / 2;
  l.ButtonsTop = messageHeight + vertMargin + vertSpacing;
  return l;
}

// Fills the form: icon, message label and buttons, centred on the screen.
void BuildMessageBox(TForm& form, const TMessageBoxLayout& l, const std::string& msg, int32_t icon,
                     int32_t defaultButton, std::span<const TKLMsgButton> buttons) {
  form.SetClientWidth(l.ClientWidth);
  form.SetClientHeight(l.ClientHeight);
  form.SetLeft(Screen->Width() / 2 - form.Width() / 2);
  form.SetTop(Screen->Height() / 2 - form.Height() / 2);
  if (icon) {
    auto* image = new TImage(&form);
    image->SetName("IconImage");
    image->SetIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(icon)));
    image->SetBoundsRect(l.Icon);
    image->SetParent(&form);
  }
  auto* label = new TLabel(&form);
  label->SetName("MessageLabel");
  label->SetParent(&form);
  label->Font().Assign(MessageFont);
  label->SetWordWrap(true);
  label->SetBiDiMode(form.BiDiMode());
  label->SetCaption(msg);
  label->SetBoundsRect(l.Text);
  int32_t x = l.ButtonsLeft;
  for (int32_t i = 0; i < static_cast<int32_t>(buttons.size()); ++i) {
    auto* button = new TButton(&form);
    button->SetName("Button" + std::to_string(i));
    button->SetParent(&form);
    button->SetCaption(buttons[i].Caption);
    button->SetModalResult(buttons[i].ModalResult);
    button->SetBounds(x, l.ButtonsTop, l.ButtonWidth, l.ButtonHeight);
    if (i == defaultButton) {
      button->SetDefault(true);
      button->SetTabOrder(0);
    }
    if (buttons[i].ModalResult == mrCancel) button->SetCancel(true);
    x += l.ButtonWidth + l.ButtonSpacing;
  }
}

// While a message box shows, the application window sits on the active window's monitor, so
// that the system puts the box there too; Restore (or the end of the scope) moves it back.
class TAppWindowOnActiveMonitor {
public:
  TAppWindowOnActiveMonitor(HWND appWnd, HWND activeWnd) : appWnd_(appWnd) {
    HMONITOR active = wincompat::MonitorFromWindow(activeWnd, MONITOR_DEFAULTTONEAREST);
    if (active == wincompat::MonitorFromWindow(appWnd, MONITOR_DEFAULTTONEAREST)) return;
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (!wincompat::GetMonitorInfoA(active, &mi)) return;
    GetWindowRect(appWnd, &before_);
    MoveTo((mi.rcMonitor.left + mi.rcMonitor.right) / 2, (mi.rcMonitor.top + mi.rcMonitor.bottom) / 2);
    moved_ = true;
  }
  TAppWindowOnActiveMonitor(const TAppWindowOnActiveMonitor&) = delete;
  TAppWindowOnActiveMonitor& operator=(const TAppWindowOnActiveMonitor&) = delete;
  ~TAppWindowOnActiveMonitor() { Restore(); }
  void Restore() {
    if (std::exchange(moved_, false)) MoveTo(before_.left, before_.top);
  }

private:
  void MoveTo(int x, int y) {
    SetWindowPos(appWnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  }
  HWND appWnd_;
  RECT before_{};
  bool moved_ = false;
};

}  // namespace

void LoadButtonCaptions() {
  for (const TButtonSet& set : ButtonSets())
    for (size_t i = 0; i < set.Buttons.size(); ++i) set.Buttons[i].Caption = GlobalLanguage->GetWord(set.Keys[i]);
}

int32_t ShowMessageBox(const std::string& msg, const std::string& caption, int32_t icon, int32_t defaultButton,
                       std::span<const TKLMsgButton> buttons) {
  if (buttons.empty()) throw EInvalidOperation("A message box needs at least one button");
  const HWND activeWnd = GetActiveWindow();
  TAppWindowOnActiveMonitor onActiveMonitor(Application->Handle(), activeWnd);
  TTaskWindowsDisabler taskWindows;
  std::unique_ptr<TForm> form;
  TScopeGuard restore{[&] {
    form.reset();
    onActiveMonitor.Restore();
    taskWindows.Restore();
    if (activeWnd && IsWindow(activeWnd)) SetActiveWindow(activeWnd);
  }};
  form = std::make_unique<TForm>(Application);
  form->SetBorderStyle(TFormBorderStyle::bsDialog);
  form->SetFormStyle(TFormStyle::fsStayOnTop);
  form->SetCaption(caption.empty() ? Application->Title() : caption);
  const TMessageBoxLayout layout = LayoutMessageBox(*form, msg, icon != 0, buttons);
  BuildMessageBox(*form, layout, msg, icon, defaultButton, buttons);
  return form->ShowModal();
}

std::string ReadRegString(const TKLRegistry& reg, const std::string& name, const std::string& defaultValue) {
  try {
    if (reg.ValueExists(name)) return reg.ReadString(name);
  } catch (const Exception&) {
    // A value of another type is as good as none: the caller's default stands.
  }
  return defaultValue;
}

bool GetDefaultProgram(const std::string& name, std::string& program, std::string& params) {
  program.clear();
  params.clear();
  std::string value;
  {
    TKLRegistry reg;
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    if (!reg.OpenKey("\\" + name + "\\shell\\open\\command", false)) return false;
    value = ReadRegString(reg, "", "");
  }
  if (value.empty()) return false;
  size_t end = ProgramPathEnd(value);
  if (end == std::string::npos) {
    // No known extension: a quoted path ends at its closing quote, an unquoted value is all path.
    end = value[0] == '"' ? value.find('"', 1) : std::string::npos;
    end = end == std::string::npos ? value.size() : end;
  }
  if (end < value.size()) params = CleanParams(value.substr(end));
  program = value.substr(0, end);
  if (!program.empty() && program[0] == '"') program.erase(0, 1);
  if (program.find('%') != std::string::npos) program = ExpandEnvironment(program);
  return true;
}

void CenterInParent(TControl* control) {
  TWinControl* parent = control->Parent();
  if (!parent) return;
  int32_t pw = parent->Width(), ph = parent->Height();
  if (auto* form = dynamic_cast<TForm*>(parent)) {
    pw = form->ClientWidth();
    ph = form->ClientHeight();
  }
  control->SetLeft(pw < control->Width() ? 0 : (pw - control->Width()) / 2);
  control->SetTop(ph < control->Height() ? 0 : (ph - control->Height()) / 2);
}

std::string GetWindowClassName(HWND wnd) {
  if (!IsWindow(wnd)) return "";
  char buf[256] = {};
  return GetClassNameA(wnd, buf, sizeof buf) > 0 ? std::string(buf) : std::string();
}

std::string GetWindowCaption(HWND wnd) {
  if (!IsWindow(wnd)) return "";
  char buf[256] = {};
  return GetWindowTextA(wnd, buf, sizeof buf) > 0 ? std::string(buf) : std::string();
}

void ShowWindowNoAnimation(HWND wnd, int cmdShow) {
  ANIMATIONINFO info{};
  info.cbSize = sizeof info;
  const bool animated = SystemParametersInfoA(SPI_GETANIMATION, info.cbSize, &info, 0) && info.iMinAnimate != 0;
  if (animated) {
    info.iMinAnimate = 0;
    SystemParametersInfoA(SPI_SETANIMATION, info.cbSize, &info, 0);
  }
  ShowWindow(wnd, cmdShow);
  if (animated) {
    info.iMinAnimate = 1;
    SystemParametersInfoA(SPI_SETANIMATION, info.cbSize, &info, 0);
  }
}

void BringWindowForward(HWND wnd) {
  if (!wnd) return;
  ShowWindowNoAnimation(wnd, SW_SHOW);
  SetForegroundWindow(wnd);
}

BOOL CALLBACK FindAppWindowProc(HWND wnd, LPARAM param) {
  if (Application && wnd == Application->Handle()) return TRUE;
  if (GetWindowClassName(wnd) != SearchClass) return TRUE;
  if (GetWindowCaption(wnd) != SearchTitle) return TRUE;
  *reinterpret_cast<HWND*>(param) = wnd;
  return FALSE;
}

bool ActivatePreviousInstance(const std::string& title) {
  SearchClass = kApplicationClassName;
  SearchTitle = title;
  HWND found = nullptr;
  EnumWindows(FindAppWindowProc, reinterpret_cast<LPARAM>(&found));
  if (!found || (Application && found == Application->Handle())) return false;
  if (IsIconic(found)) {
    SendMessageA(found, WM_SYSCOMMAND, SC_RESTORE, 0);
    return true;
  }
  ShowWindowNoAnimation(found, SW_SHOWNOACTIVATE);
  HWND popup = GetLastActivePopup(found);
  if (popup != found && IsWindowVisible(popup) && IsWindowEnabled(popup)) {
    SetForegroundWindow(popup);
  } else {
    HWND util = nullptr;
    SearchClass = kUtilWindowClassName;
    EnumWindows(FindAppWindowProc, reinterpret_cast<LPARAM>(&util));
    if (util)
      SendMessageA(util, kRestoreMessage, 0, kRestoreParam);
    else
      BringWindowForward(popup);
  }
  return true;
}

void InitializeKLSysUtils() {
  MessageBoxProc = ShowMessageBox;
  char buf[MAX_PATH + 1] = {};
  UINT n = GetWindowsDirectoryA(buf, MAX_PATH);
  WindowsPath = IncludeTrailingBackslash(n && n <= MAX_PATH ? buf : "");
  n = GetSystemDirectoryA(buf, MAX_PATH);
  SystemPath = IncludeTrailingBackslash(n && n <= MAX_PATH ? buf : "");
  const std::string windowsDrive = WindowsPath.substr(0, 2);
  DWORD t = GetTempPathA(MAX_PATH, buf);
  TempPath = (t && t <= MAX_PATH) ? IncludeTrailingBackslash(buf) : windowsDrive;
  {
    TKLRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    if (reg.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion", false))
      ProgramFilesPath = IncludeTrailingBackslash(ReadRegString(reg, "ProgramFilesDir", ""));
  }
  if (ProgramFilesPath.empty()) ProgramFilesPath = windowsDrive + "\\Program Files\\";
  const std::string exe = ProgramFileName();
  ExePath = exe.substr(0, exe.find_last_of('\\') + 1);

  HINSTANCE instance = GetModuleHandleA(nullptr);
  Screen->SetCursors(crKLHandMove, LoadCursorA(instance, "CRHMOVE"));
  Screen->SetCursors(crKLHandPoint, LoadCursorA(instance, "CRHPOINT"));
  Screen->SetCursors(crKLPick, LoadCursorA(instance, "CRPICK"));
  gButtonCaptionsEntry = RegisterLanguageProc(LoadButtonCaptions);
  LoadSystemFonts();
}

void FinalizeKLSysUtils() {
  UnregisterLanguageInit(gButtonCaptionsEntry);
  gButtonCaptionsEntry = nullptr;
  delete MessageFont;
  delete CaptionFont;
  MessageFont = CaptionFont = nullptr;
  TempPath.clear();
  WindowsPath.clear();
  SystemPath.clear();
  ProgramFilesPath.clear();
  ExePath.clear();
  for (const TButtonSet& set : ButtonSets())
    for (TKLMsgButton& b : set.Buttons) b.Caption.clear();
}

}  // namespace orv
