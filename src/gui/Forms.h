#pragma once
// Forms: top-level windows built from window definitions. A form's window is owned by the
// application's hidden window (see Application.h); the screen lists the forms (Screen.h).
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Exceptions.h"
#include "gui/Application.h"
#include "gui/Controls.h"
#include "gui/Screen.h"

namespace orv {

class TButton;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : uint8_t { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
enum class TFormStyle { fsNormal, fsStayOnTop };
enum class TPosition { poDesigned, poDefault, poScreenCenter, poMainFormCenter };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };

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

  // What the window is now; setting wsNormal restores a minimised or maximised form.
  TWindowState WindowState();
  void SetWindowState(TWindowState value);

  void Show();
  void Hide();
  // Puts the form above the program's other windows and into the foreground.
  void BringToFront();
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
  // Runs OnDestroy once. It may run from a destructor, so an error is shown, not raised.
  void DoDestroy() noexcept;
  // The component of the form's definition named Name, as a T; raises when there is none.
  template <class T>
  T* Part(const char* name) {
    T* part = dynamic_cast<T*>(FindComponent(name));
    if (!part) throw Exception("The definition of " + ClassName() + " lacks " + name);
    return part;
  }

private:
  void RunModalLoop();
  void EndModal(HWND activeBefore);
  void ApplyPosition();
  bool MinimizedWithApplication() const;
  void Activated(bool active);
  TButton* FindButton(bool wantDefault) const;
  void FocusNext(bool backwards);
  RECT FrameDelta() const;

  TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
  uint8_t borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TFormStyle formStyle_ = TFormStyle::fsNormal;
  TPosition position_ = TPosition::poDesigned;
  TWindowState windowState_ = TWindowState::wsNormal;
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

// Start and end of the layer: the screen and the application with its hidden window.
void InitializeForms();
void FinalizeForms();

}  // namespace orv
