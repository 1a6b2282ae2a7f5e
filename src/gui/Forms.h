#pragma once
// Forms, the application object and the screen. Every form is owned by the application's
// hidden window "TApplication", which carries the taskbar button; hidden helper windows of
// the layer have the class "TPUtilWindow".
#include <windows.h>

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gui/Controls.h"

namespace orv {

class TButton;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : uint8_t { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
enum class TFormStyle { fsNormal, fsStayOnTop };
enum class TPosition { poDesigned, poDefault, poScreenCenter, poMainFormCenter };

using TCloseQueryEvent = TEvent<void(TObject* sender, bool& canClose)>;

class TForm : public TWinControl {
  ORV_CLASSINFO(TForm)

public:
  explicit TForm(TComponent* owner);
  ~TForm() override;

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle value);
  uint8_t BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(uint8_t value) { borderIcons_ = value; }
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle value);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition value) { position_ = value; }
  // Borrowed; the application's icon when none.
  HICON Icon() const { return icon_; }
  void SetIcon(HICON icon);

  int32_t ClientWidth();
  int32_t ClientHeight();
  void SetClientWidth(int32_t value);
  void SetClientHeight(int32_t value);
  TCanvas& Canvas();

  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* control);

  void Show();
  void Hide();
  // The main form's close ends the application; another form only hides; a modal form
  // ends its modal loop with mrCancel.
  void Close();
  bool CloseQuery();
  TModalResult ShowModal();
  bool Modal() const { return modal_; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }

  // Reads the form's window definition, the RCDATA resource named after its class, when the
  // program has one; true when it was read.
  bool ReadDefinition();
  // Runs OnCreate; the application calls it once the form is built.
  void AfterConstruction();
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
  void Loaded() override;

  TNotifyEvent OnCreate;
  // Runs when the application frees its forms; a form freed otherwise runs it from its
  // destructor, when the members of a derived form are already gone.
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TCloseQueryEvent OnCloseQuery;

  // Enter, Escape and Tab inside the form; true when the key was used.
  bool DialogKey(WPARAM key);

protected:
  friend class TApplication;
  void CreateParams(TCreateParams& params) override;
  void AfterCreateHandle() override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void VisibleChanged() override;
  void DoDestroy();

private:
  void ApplyPosition();
  void Activated(bool active);
  TButton* FindButton(bool wantDefault) const;
  void FocusNext(bool backwards);
  RECT FrameDelta() const;

  TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
  uint8_t borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TFormStyle formStyle_ = TFormStyle::fsNormal;
  TPosition position_ = TPosition::poDesigned;
  HICON icon_ = nullptr;
  TWinControl* activeControl_ = nullptr;
  std::unique_ptr<TCanvas> canvas_;
  bool modal_ = false;
  TModalResult modalResult_ = mrNone;
  bool destroyed_ = false;
};

// The form that holds Control, or null.
TForm* GetParentForm(TControl* control);

// Disables every visible, enabled top-level window of this thread except Keep, and enables
// exactly those again when it goes (also when an exception passes).
class TTaskWindowsDisabler {
public:
  explicit TTaskWindowsDisabler(HWND keep = nullptr);
  TTaskWindowsDisabler(const TTaskWindowsDisabler&) = delete;
  TTaskWindowsDisabler& operator=(const TTaskWindowsDisabler&) = delete;
  ~TTaskWindowsDisabler() { Restore(); }
  void Restore();

private:
  static BOOL CALLBACK DisableProc(HWND wnd, LPARAM lp);
  HWND keep_;
  std::vector<HWND> disabled_;
};

// A hidden window of class "TPUtilWindow" whose messages go to Handler.
class TUtilWindow {
public:
  using Handler = std::function<LRESULT(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)>;
  explicit TUtilWindow(Handler handler);
  HWND Handle() const { return wnd_.Get(); }

private:
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  Handler handler_;
  TOwnedWindow wnd_;
};

class TApplication : public TComponent {
  ORV_CLASSINFO(TApplication)

public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  // Initialises COM for this (the GUI) thread as a single-threaded apartment.
  void Initialize();
  HWND Handle() const { return handle_.Get(); }
  std::string Title() const;
  void SetTitle(const std::string& value);

  TForm* MainForm() const { return mainForm_; }
  // Makes a form owned by the application; the first one becomes the main form.
  // Its window definition is read when the program has one (see TForm::ReadDefinition).
  template <typename T>
  void CreateForm(T*& ref) {
    T* form = new T(this);
    if (!mainForm_) mainForm_ = form;
    try {
      form->ReadDefinition();
    } catch (...) {
      delete form;
      throw;
    }
    ref = form;
    form->AfterConstruction();
  }

  // Shows the main form and handles messages until Terminate.
  void Run();
  void ProcessMessages();
  // Waits for one message and handles it.
  void HandleMessage();
  void Terminate();
  bool Terminated() const { return terminated_; }

  void Minimize();
  void Restore();
  // Puts the main form, or the form that is in front of it, into the foreground.
  void BringToFront();

  // A window procedure hands over an exception here; the message loop raises it again.
  void KeepException(std::exception_ptr e);
  std::function<void(const std::exception& e)> OnException;

private:
  static LRESULT CALLBACK AppWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
  bool ProcessMessage(MSG& msg);
  void RaisePending();
  void HandleException(const std::exception& e);
  void FreeForms();

  TOwnedWindow handle_;
  TForm* mainForm_ = nullptr;
  bool terminated_ = false;
  bool comInitialized_ = false;
  std::exception_ptr pending_;
  friend class TForm;
};

// Standard cursor ids; the program adds its own positive ones.
constexpr int crDefault = 0;
constexpr int crArrow = -2;
constexpr int crCross = -3;
constexpr int crIBeam = -4;
constexpr int crHourGlass = -11;
constexpr int crNo = -18;
constexpr int crHandPoint = -21;

class TScreen : public TComponent {
  ORV_CLASSINFO(TScreen)

public:
  explicit TScreen(TComponent* owner);

  int32_t PixelsPerInch() const { return pixelsPerInch_; }
  int32_t Width() const { return GetSystemMetrics(SM_CXSCREEN); }
  int32_t Height() const { return GetSystemMetrics(SM_CYSCREEN); }

  // The cursor of an id, the arrow for an id that has none.
  HCURSOR Cursors(int id) const;
  // Cursor is borrowed (shared system or resource cursors need no freeing).
  void SetCursors(int id, HCURSOR cursor);

  int FormCount() const { return static_cast<int>(forms_.size()); }
  TForm* Forms(int index) const { return forms_.at(index); }
  TForm* ActiveForm() const { return activeForm_; }

private:
  friend class TForm;
  int32_t pixelsPerInch_;
  std::map<int, HCURSOR> cursors_;
  std::vector<TForm*> forms_;
  TForm* activeForm_ = nullptr;
};

extern TApplication* Application;
extern TScreen* Screen;

// Start and end of the layer: the screen and the application with its hidden window.
void InitializeForms();
void FinalizeForms();

}  // namespace orv
