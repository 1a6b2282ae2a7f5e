#pragma once
// The application object. Its hidden window "TApplication" carries the taskbar button and owns
// every form's window; the object owns the forms made with CreateForm. The message loop lives
// here: an exception kept from a window procedure is raised again by the loop, and Run shows
// it to the user (OnException, or a message box) and goes on.
#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "base/Component.h"
#include "win/Handles.h"
#include "gui/WindowClass.h"

namespace orv {

class TControl;
class TForm;
class THintWindow;

// A hidden window of class "TPUtilWindow" whose messages go to Handler. It cannot be moved:
// its window leads to this object.
class TUtilWindow : public TWindowObject {
public:
  using Handler = std::function<LRESULT(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)>;
  explicit TUtilWindow(Handler handler);
  ~TUtilWindow() override;
  HWND Handle() const { return wnd_.Get(); }

private:
  LRESULT WindowMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) override;
  Handler handler_;
  TOwnedWindow wnd_;
};

class TApplication : public TComponent, public TWindowObject {
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
  // Runs every form's OnDestroy, then frees the forms; the application window stays. An
  // OnDestroy that raises is reported and the others still run.
  void DestroyForms();

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

  // Shows an error to the user: OnException when assigned, else a message box.
  void HandleException(const std::exception& e);
  // The same for the exception in flight inside a catch block, whatever its type.
  void HandleCurrentException();
  std::function<void(const std::exception& e)> OnException;

  // Hints: a control's Hint shows after HintPause over it; moving on to a control with
  // another hint while one shows shows that one after HintShortPause; a hint hides after
  // HintHidePause, on a press or a key, and when the pointer leaves the program's windows.
  int32_t HintPause = 500;
  int32_t HintShortPause = 50;
  int32_t HintHidePause = 2500;
  // Hides the hint; it shows again when the pointer reaches another hint text.
  void CancelHint();
  // The text of the showing hint, or "" when none shows.
  std::string ShownHint() const;
  // The pointer is over Control (null: over no control of ours).
  void HintMouseMessage(TControl* control);
  // Called by a control whose hint text changed, and by one that goes.
  void HintTextChanged(TControl* control);
  void ControlDestroyed(TControl* control);

private:
  friend class TForm;
  LRESULT WindowMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) override;
  bool ProcessMessage(MSG& msg);
  void HintInputMessage(const MSG& msg);
  void ScheduleHint(const std::string& text);
  void HintTimer(UINT_PTR id);

  TOwnedWindow handle_;
  TForm* mainForm_ = nullptr;
  bool terminated_ = false;
  bool comInitialized_ = false;
  std::unique_ptr<THintWindow> hintWindow_;
  TControl* hintControl_ = nullptr;
  std::string hintText_;
};

extern TApplication* Application;

}  // namespace orv
