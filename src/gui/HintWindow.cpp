#include <windows.h>

#include "gui/HintWindow.h"

#include <algorithm>
#include <cstddef>

namespace orv {

namespace {
const char kHintClassName[] = "THintWindow";
constexpr int kPadding = 3;
}  // namespace

THintWindow::THintWindow() {
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0)) font_.SetLogFont(ncm.lfStatusFont);
  RegisterObjectClass({kHintClassName, CS_SAVEBITS});
  wnd_.Reset(CreateObjectWindow(this, {kHintClassName, "", WS_POPUP | WS_BORDER, WS_EX_TOOLWINDOW | WS_EX_TOPMOST}));
}

THintWindow::~THintWindow() { wnd_.Reset(); }

void THintWindow::ActivateHint(POINT at, const std::string& text) {
  text_ = text;
  SetWindowTextA(Handle(), text.c_str());
  RECT r{0, 0, 300, 0};
  {
    TWindowDC dc(Handle());
    TSelectObject font(dc.Get(), font_.Handle());
    DrawTextA(dc.Get(), text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  }
  const int w = r.right + 2 * kPadding + 2, h = r.bottom + 2 * kPadding + 2;
  at.x = std::max(0, std::min<int>(at.x, GetSystemMetrics(SM_CXSCREEN) - w));
  at.y = std::max(0, std::min<int>(at.y, GetSystemMetrics(SM_CYSCREEN) - h));
  SetWindowPos(Handle(), HWND_TOPMOST, at.x, at.y, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(Handle(), nullptr, TRUE);
}

void THintWindow::Paint(HDC dc) {
  RECT r;
  GetClientRect(Handle(), &r);
  FillRect(dc, &r, GetSysColorBrush(COLOR_INFOBK));
  TSelectObject font(dc, font_.Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
  InflateRect(&r, -kPadding, -kPadding);
  DrawTextA(dc, text_.c_str(), -1, &r, DT_WORDBREAK | DT_NOPREFIX);
}

LRESULT THintWindow::WindowMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      TPaintDC dc(wnd);
      Paint(dc.Get());
      return 0;
    }
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace orv
