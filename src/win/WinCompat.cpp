#include <windows.h>

#include "win/WinCompat.h"

#include <string>
#include <type_traits>

namespace orv::wincompat {

// A pointer that may hold the system's function must have its type, calling convention included.
static_assert(std::is_same_v<decltype(&GetFileSizeEx), decltype(&::GetFileSizeEx)>);
static_assert(std::is_same_v<decltype(&MonitorFromWindow), decltype(&::MonitorFromWindow)>);
static_assert(std::is_same_v<decltype(&GetMonitorInfoA), decltype(&::GetMonitorInfoA)>);
static_assert(std::is_same_v<decltype(&GetAncestor), decltype(&::GetAncestor)>);
static_assert(std::is_same_v<decltype(&CoInitializeEx), decltype(&::CoInitializeEx)>);

namespace {

// The system's export, or the fallback when the system has none. The DLLs asked are ones the
// program imports anyway, so they are always loaded.
template <typename F>
F Lookup(const char* dll, const char* name, F fallback) {
  HMODULE module = GetModuleHandleA(dll);
  FARPROC proc = module ? GetProcAddress(module, name) : nullptr;
  return proc ? reinterpret_cast<F>(reinterpret_cast<void*>(proc)) : fallback;
}

bool IsChild(HWND wnd) { return (GetWindowLongA(wnd, GWL_STYLE) & WS_CHILD) != 0; }

HWND Root(HWND wnd) {
  while (IsChild(wnd)) {
    HWND parent = GetParent(wnd);
    if (!parent) break;
    wnd = parent;
  }
  return wnd;
}

}  // namespace

BOOL WINAPI GetFileSizeEx(HANDLE file, PLARGE_INTEGER size) {
  static const auto fn = Lookup("kernel32.dll", "GetFileSizeEx", &fallback::GetFileSizeEx);
  return fn(file, size);
}

HMONITOR WINAPI MonitorFromWindow(HWND wnd, DWORD flags) {
  static const auto fn = Lookup("user32.dll", "MonitorFromWindow", &fallback::MonitorFromWindow);
  return fn(wnd, flags);
}

BOOL WINAPI GetMonitorInfoA(HMONITOR monitor, LPMONITORINFO info) {
  static const auto fn = Lookup("user32.dll", "GetMonitorInfoA", &fallback::GetMonitorInfoA);
  return fn(monitor, info);
}

HWND WINAPI GetAncestor(HWND wnd, UINT flags) {
  static const auto fn = Lookup("user32.dll", "GetAncestor", &fallback::GetAncestor);
  return fn(wnd, flags);
}

HRESULT WINAPI CoInitializeEx(LPVOID reserved, DWORD coInit) {
  static const auto fn = Lookup("ole32.dll", "CoInitializeEx", &fallback::CoInitializeEx);
  return fn(reserved, coInit);
}

bool RestrictDllSearchToSystem() {
  using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
  using TSetDllDirectoryA = BOOL(WINAPI*)(LPCSTR);
  const auto setDirectory = Lookup<TSetDllDirectoryA>("kernel32.dll", "SetDllDirectoryA", nullptr);
  // An empty string takes the current directory out of the search.
  if (setDirectory) setDirectory("");
  const auto setDefault = Lookup<TSetDefaultDllDirectories>("kernel32.dll", "SetDefaultDllDirectories", nullptr);
  return setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const char* name) {
  char dir[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(dir, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::string path = std::string(dir, length) + "\\" + name;
  HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  return reinterpret_cast<UINT_PTR>(module) < 32 ? nullptr : module;
}

namespace fallback {

BOOL WINAPI GetFileSizeEx(HANDLE file, PLARGE_INTEGER size) {
  DWORD high = 0;
  SetLastError(NO_ERROR);
  DWORD low = GetFileSize(file, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return FALSE;
  size->LowPart = low;
  size->HighPart = static_cast<LONG>(high);
  return TRUE;
}

HMONITOR WINAPI MonitorFromWindow(HWND wnd, DWORD flags) {
  if (flags == MONITOR_DEFAULTTONULL && !IsWindow(wnd)) return nullptr;
  return PrimaryMonitor;
}

BOOL WINAPI GetMonitorInfoA(HMONITOR monitor, LPMONITORINFO info) {
  if (monitor != PrimaryMonitor || !info || info->cbSize < sizeof(MONITORINFO)) return FALSE;
  info->rcMonitor = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &info->rcWork, 0)) info->rcWork = info->rcMonitor;
  info->dwFlags = MONITORINFOF_PRIMARY;
  if (info->cbSize >= sizeof(MONITORINFOEXA))
    lstrcpynA(reinterpret_cast<LPMONITORINFOEXA>(info)->szDevice, "DISPLAY", CCHDEVICENAME);
  return TRUE;
}

HWND WINAPI GetAncestor(HWND wnd, UINT flags) {
  if (!IsWindow(wnd)) return nullptr;
  switch (flags) {
    case GA_PARENT: return IsChild(wnd) ? GetParent(wnd) : GetDesktopWindow();
    case GA_ROOT: return Root(wnd);
    case GA_ROOTOWNER:
      // For a top-level window GetParent answers its owner.
      for (HWND owner; (owner = GetParent(Root(wnd))) != nullptr;) wnd = owner;
      return Root(wnd);
    default: return nullptr;
  }
}

HRESULT WINAPI CoInitializeEx(LPVOID reserved, DWORD coInit) {
  // Without the free-threaded model only a single-threaded apartment can be had.
  if (!(coInit & COINIT_APARTMENTTHREADED)) return E_NOTIMPL;
  return CoInitialize(reserved);
}

}  // namespace fallback

}  // namespace orv::wincompat
