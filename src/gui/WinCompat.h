#pragma once
// System functions that Windows 95 or NT 4.0 lacks, called through pointers looked up once at
// run time, with a fallback that behaves the same on the older systems. The program must not
// import them statically, or those systems refuse to load it.
#include <windows.h>
#include <objbase.h>

namespace orv::wincompat {

BOOL WINAPI GetFileSizeEx(HANDLE file, PLARGE_INTEGER size);
HMONITOR WINAPI MonitorFromWindow(HWND wnd, DWORD flags);
BOOL WINAPI GetMonitorInfoA(HMONITOR monitor, LPMONITORINFO info);
HWND WINAPI GetAncestor(HWND wnd, UINT flags);
HRESULT WINAPI CoInitializeEx(LPVOID reserved, DWORD coInit);

// What the functions above do where the system has no such export; public for the tests.
// Like the system's own they are WINAPI, so that one pointer type holds either.
namespace fallback {

// Every window is on the one screen: it is named by this handle.
inline const HMONITOR PrimaryMonitor = reinterpret_cast<HMONITOR>(static_cast<INT_PTR>(0x12340042));

BOOL WINAPI GetFileSizeEx(HANDLE file, PLARGE_INTEGER size);
HMONITOR WINAPI MonitorFromWindow(HWND wnd, DWORD flags);
BOOL WINAPI GetMonitorInfoA(HMONITOR monitor, LPMONITORINFO info);
HWND WINAPI GetAncestor(HWND wnd, UINT flags);
HRESULT WINAPI CoInitializeEx(LPVOID reserved, DWORD coInit);

}  // namespace fallback

}  // namespace orv::wincompat
