#pragma once
// The multi-line edit control over a system edit window ("EDIT", or the class a descendant
// names). The control subclasses its window, so that it sees the messages of the system's
// class; whatever it does not handle goes on to that class. A descendant that handles messages
// destroys the window in its own destructor (DestroyHandle), so that no message reaches it
// while its parts are going.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/StringList.h"
#include "gui/Controls.h"

namespace orv {

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TCustomMemo : public TWinControl {
  ORV_CLASSINFO(TCustomMemo)

public:
  explicit TCustomMemo(TComponent* owner);
  ~TCustomMemo() override;

  // The text as a list of lines; reading or changing it makes the window.
  TStrings& Lines() { return *lines_; }

  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  // Tab and Enter typed into the control stay in it instead of moving the focus or pressing
  // the default button (the control's answer to WM_GETDLGCODE).
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool value) { wantTabs_ = value; }
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool value) { wantReturns_ = value; }
  // 0: no limit beyond the system's own.
  int32_t MaxLength() const { return maxLength_; }
  void SetMaxLength(int32_t value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);

  bool Modified();
  void SetModified(bool value);
  std::string Text();
  void SetText(const std::string& value);
  void Clear();
  void SelectAll();
  virtual int32_t SelStart();
  virtual void SetSelStart(int32_t value);
  virtual int32_t SelLength();
  virtual void SetSelLength(int32_t value);
  virtual std::string SelText();
  void SetSelText(const std::string& value);
  // Sends a change of the text (EM_REPLACESEL) from the program itself: a read-only control
  // takes such changes only this way, never from a message another window or program sends.
  LRESULT SendOwnChange(UINT msg, WPARAM wp, LPARAM lp);
  // The caret's line (y) and column (x).
  POINT CaretPos();

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& params) override;
  void AfterCreateHandle() override;
  void CommandNotify(WORD code) override;
  virtual void Change();
  virtual void ApplyMaxLength();
  // After the window is made and subclassed: the class's own settings, then the content kept
  // from the previous window; the modified flag comes back last.
  virtual void InitializeWindow() {}
  virtual void RestoreContent();
  // The window goes while the control stays (a re-creation, or the parent's window went):
  // the content is kept for the next window.
  virtual void KeepContent(HWND wnd);
  // Called by WM_DESTROY: keeps the modified flag and the content unless the control goes.
  void WindowDestroying(HWND wnd);
  // Destroys the window from a destructor: nothing is kept.
  void DestroyWindowNow();

  // Messages of the subclassed window; Wnd is the window even while the control has already
  // let go of its handle (during destruction). CallDefault hands a message to the class.
  virtual LRESULT EditMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT CallDefault(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  // A descendant replaces the lines object with its own over the same control.
  void SetLinesObject(std::unique_ptr<TStrings> lines) { lines_ = std::move(lines); }
  // Sends Msg to the window when it exists.
  void Perform(UINT msg, WPARAM wp, LPARAM lp);

private:
  static LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  void Subclass(HWND wnd);
  void WindowGone(HWND wnd);

  // True for the messages that change the text (paste, cut, clear, undo, replacing the
  // selection) while the control is read-only and the change is not the program's own.
  bool RefusesChange(UINT msg) const;

  std::unique_ptr<TStrings> lines_;
  WNDPROC defProc_ = nullptr;
  bool ownChange_ = false;
  bool destroying_ = false;
  bool savedModified_ = false;
  std::optional<std::string> keptText_;
  bool readOnly_ = false;
  TScrollStyle scrollBars_ = TScrollStyle::ssNone;
  bool wordWrap_ = true;
  bool wantTabs_ = false;
  bool wantReturns_ = true;
  int32_t maxLength_ = 0;
  bool hideSelection_ = true;
};

}  // namespace orv
