#pragma once
// The application's hint window: a small borderless, topmost window under the pointer that
// shows one line (or a few) of text in the system's tooltip colours. Its window text is the
// text it shows.
#include <windows.h>

#include <string>

#include "gui/Graphics.h"
#include "win/Handles.h"
#include "gui/WindowClass.h"

namespace orv {

class THintWindow : public TWindowObject {
public:
  THintWindow();
  ~THintWindow() override;
  HWND Handle() const { return wnd_.Get(); }
  bool Visible() const { return IsWindowVisible(wnd_.Get()) != FALSE; }
  // Shows Text with its top-left corner at a screen point, kept on the screen.
  void ActivateHint(POINT at, const std::string& text);
  void ReleaseHandle() { ShowWindow(wnd_.Get(), SW_HIDE); }

private:
  LRESULT WindowMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) override;
  void Paint(HDC dc);
  TOwnedWindow wnd_;
  TFont font_;
  std::string text_;
};

}  // namespace orv
