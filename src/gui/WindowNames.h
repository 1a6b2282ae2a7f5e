#pragma once
// Names that other processes rely on: a second start of the program finds the running one by
// them, and the tests drive the program by them. Changing one breaks both.
#include <windows.h>

namespace orv {

// The hidden application window that carries the taskbar button; its text is the title.
constexpr char kApplicationClassName[] = "TApplication";
// Hidden helper windows of the GUI layer.
constexpr char kUtilWindowClassName[] = "TPUtilWindow";
// A form's window class is its class name; this is the main window's.
constexpr char kMainFormClassName[] = "TMainForm";

// Sent to the application window (the notification-area message): with kRestoreParam as
// lParam it restores and brings forward the program.
constexpr UINT kRestoreMessage = WM_USER + 1;
constexpr LPARAM kRestoreParam = WM_LBUTTONDBLCLK;

}  // namespace orv
