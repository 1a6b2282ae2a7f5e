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

// From here on the process looks for the DLLs it or the system loads at run time by name in
// the system directory only, never in the program's own folder or the current directory,
// where the system offers that (SetDefaultDllDirectories: Windows 8, or 7 and Vista with
// KB2533623; SetDllDirectoryA: XP SP1). Answers whether the search is restricted to the
// system directory; older systems keep their own order.
bool RestrictDllSearchToSystem();

// A DLL of the system directory, loaded by its full path, with the DLLs it needs looked for
// from there first: never a file of that name planted beside the program. Null when absent.
HMODULE LoadSystemLibrary(const char* name);

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
