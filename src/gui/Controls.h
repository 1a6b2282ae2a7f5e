#pragma once
// Controls: TControl has bounds, text, font, colour, cursor, hint and visibility;
// TGraphicControl has no window of its own: its parent paints it and hands it the mouse;
// TWinControl owns a window, keeps its children in tab order and receives their notifications.
//
// Who owns a control's window: the TWinControl that made it, and only it. The window is made
// on first use of Handle() (or when the parent's window is made) and destroyed by
// DestroyHandle: when the control goes, or leaves its parent. The system destroys child
// windows with their parent; the children then only forget their handles. A window destroyed
// from outside (WM_NCDESTROY) is forgotten too. The window never owns its object: nothing in
// the layer deletes a control because its window went.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Component.h"
#include "base/Exceptions.h"
#include "gui/Graphics.h"
#include "win/Handles.h"
#include "gui/WindowClass.h"

namespace orv {

using TModalResult = int32_t;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;

enum class TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftFlag : uint8_t {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64
};
// Coordinates are the control's own (its top-left corner is 0, 0).
using TMouseEvent = TEvent<void(TObject* sender, TMouseButton button, uint8_t shift, int32_t x, int32_t y)>;
using TMouseMoveEvent = TEvent<void(TObject* sender, uint8_t shift, int32_t x, int32_t y)>;

class TWinControl;

class TControl : public TComponent {
  ORV_CLASSINFO(TControl)
  friend class TWinControl;

public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);

  int32_t Left() const { return left_; }
  int32_t Top() const { return top_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  void SetLeft(int32_t v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int32_t v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int32_t v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int32_t v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
  RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
  void SetBoundsRect(const RECT& r) { SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top); }

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool value);
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool value);

  const std::string& Caption() const { return caption_; }
  virtual void SetCaption(const std::string& value);

  // A control takes its parent's font until its own is changed.
  TFont& Font() { return font_; }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);

  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode value) { biDiMode_ = value; }
  bool UseRightToLeftReading() const { return biDiMode_ != TBiDiMode::bdLeftToRight; }

  TColor Color() const { return color_; }
  void SetColor(TColor value);
  // A screen cursor id (TScreen::Cursors); crDefault leaves the window class's cursor.
  int32_t Cursor() const { return cursor_; }
  void SetCursor(int32_t value) { cursor_ = value; }

  const std::string& Hint() const { return hint_; }
  // A new text while the pointer is over the control replaces a showing hint.
  void SetHint(const std::string& value);
  // With ParentShowHint, ShowHint follows the parent's; setting ShowHint clears ParentShowHint.
  bool ShowHint() const;
  void SetShowHint(bool value);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool value) { parentShowHint_ = value; }

  // The area in the parent's client coordinates (screen coordinates for a control without one).
  virtual POINT ClientToScreen(POINT p) const;
  POINT ScreenToClient(POINT p) const;
  // Marks the control for painting / paints it now.
  virtual void Invalidate() {}
  virtual void Repaint() {}

  TNotifyEvent OnClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  virtual void Click();

  // Mouse input as the parent routes it, in the control's own coordinates.
  virtual void MouseDown(TMouseButton button, uint8_t shift, int32_t x, int32_t y);
  virtual void MouseMove(uint8_t shift, int32_t x, int32_t y);
  virtual void MouseUp(TMouseButton button, uint8_t shift, int32_t x, int32_t y);
  virtual void MouseEnter();
  virtual void MouseLeave();

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;

protected:
  virtual void FontChanged() {}
  virtual void BoundsChanged() {}
  virtual void VisibleChanged() {}
  virtual void EnabledChanged() {}
  virtual void CaptionChanged() {}
  void TakeParentFont();

  virtual void ColorChanged() { Invalidate(); }

private:
  TWinControl* parent_ = nullptr;
  int32_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TColor color_ = clBtnFace;
  int32_t cursor_ = 0;
  std::string hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  bool pressed_ = false;
  bool visible_ = true;
  bool enabled_ = true;
  std::string caption_;
  TFont font_;
  bool parentFont_ = true;
  bool takingParentFont_ = false;
  TBiDiMode biDiMode_ = TBiDiMode::bdLeftToRight;
};

// A control without a window: its parent paints it in z-order, clipped to its bounds, and
// routes the mouse to it.
class TGraphicControl : public TControl {
  ORV_CLASSINFO(TGraphicControl)

public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;

  void Invalidate() override;
  void Repaint() override;
  // While the control paints: on the paint DC, origin at the control's corner. Otherwise on
  // the parent window's DC, the same way, until the next paint.
  TCanvas& Canvas();

protected:
  friend class TWinControl;
  virtual void Paint() {}
  void PaintTo(HDC dc);
  void BoundsChanged() override;
  void VisibleChanged() override { InvalidateArea(); }
  void EnabledChanged() override { Invalidate(); }
  void CaptionChanged() override { Invalidate(); }
  void FontChanged() override { Invalidate(); }

private:
  void InvalidateArea();
  void ReleaseCanvas();
  RECT shownBounds_{};
  std::unique_ptr<TCanvas> canvas_;
  TWindowDC canvasDC_;
};

// The control that gets every mouse message while it holds the capture, or null.
TControl* CaptureControl();
void SetCaptureControl(TControl* control);

struct TCreateParams {
  std::string WinClassName;  // a registered system class, or empty for the control's own
  DWORD Style = 0;
  DWORD ExStyle = 0;
  HWND WndParent = nullptr;
};

class TWinControl : public TControl, public TWindowObject {
  ORV_CLASSINFO(TWinControl)

public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  // Destroys the window and makes it again with the present properties.
  void RecreateWnd();

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(index); }
  // Position among the parent's children that can take the focus: the order that Tab
  // follows (-1 for a control that never takes the focus).
  int TabOrder() const;
  void SetTabOrder(int value);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value) { tabStop_ = value; }
  bool Focused() const { return handle_ && GetFocus() == handle_; }
  void SetFocus();
  bool CanFocus() const;

  // The control object of a window made by this layer, or null.
  static TWinControl* FromHandle(HWND wnd);
  // The topmost visible, enabled windowless child at a point of the client area, or null.
  TControl* ControlAtPos(POINT p) const;
  POINT ClientToScreen(POINT p) const override;
  void Invalidate() override;
  void Repaint() override;

  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
  void Loaded() override;

protected:
  friend class TControl;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);

  virtual void CreateParams(TCreateParams& params);
  virtual void CreateHandle();
  virtual void AfterCreateHandle() {}
  void DestroyHandle();
  // Messages for windows of the control's own class; standard controls are not subclassed.
  virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
  // Paints the control's own face (after the background, before the windowless children).
  virtual void PaintWindow(HDC dc) {}
  // Fills Rect with the background; a control whose face covers it all does nothing.
  virtual void EraseBackground(HDC dc, const RECT& rect);
  void PaintControls(HDC dc);
  LRESULT DefaultHandler(UINT msg, WPARAM wp, LPARAM lp);
  // WM_COMMAND from a child control, delivered to that child.
  virtual void CommandNotify(WORD code) {}
  virtual void ChildCommand(HWND child, WORD code);
  // WM_NOTIFY from a child control, delivered to that child. Return true when it answered, with
  // the answer in result; otherwise the parent's default handling answers.
  virtual bool NotifyReceived(const NMHDR& header, LRESULT& result) { return false; }

  void FontChanged() override;
  void BoundsChanged() override;
  void VisibleChanged() override;
  void EnabledChanged() override;
  void CaptionChanged() override;
  std::vector<TWinControl*> WinControls() const;
  std::vector<TWinControl*> TabList() const;
  // Labels and images have windows but never the focus.
  virtual bool TakesFocus() const { return true; }
  // The controls inside this one that Tab visits, in tab order, nested containers included.
  void CollectTabStops(std::vector<TWinControl*>& out) const;

private:
  void WindowAttached(HWND wnd) override { handle_ = wnd; }
  void WMPaint();
  bool MouseMessage(UINT msg, WPARAM wp, LPARAM lp);
  bool SetControlCursor(HWND under);
  LRESULT WindowMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) override { return WndProc(msg, wp, lp); }
  void ForgetHandle();

  HWND handle_ = nullptr;
  std::vector<TControl*> controls_;
  bool tabStop_ = false;
  // A tab order read before the control had its parent; applied once loaded.
  int pendingTabOrder_ = -1;
  bool painting_ = false;
};

}  // namespace orv
