#pragma once
// Progress on the taskbar button (Windows 7 and later). Where the system has no such
// interface (Windows 9x, NT 4 to Vista, some Wine versions) every call does nothing.
#include <windows.h>

#include <cstdint>

#include "win/Handles.h"

struct ITaskbarList3;

namespace orv {

class TTaskbarProgress {
public:
  // Wnd is the window that carries the taskbar button.
  explicit TTaskbarProgress(HWND wnd);
  ~TTaskbarProgress();
  TTaskbarProgress(const TTaskbarProgress&) = delete;
  TTaskbarProgress& operator=(const TTaskbarProgress&) = delete;

  bool Available() const { return static_cast<bool>(list_); }
  void SetProgress(int64_t done, int64_t total);
  void SetError();
  void Clear();

private:
  HWND wnd_;
  TComPtr<ITaskbarList3> list_;
};

}  // namespace orv
