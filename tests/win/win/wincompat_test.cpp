// The fallbacks used where Windows 95 or NT 4.0 lacks a function must answer what the newer
// system's own function answers.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "win/Handles.h"
#include "win/WinCompat.h"
#include "win/WinText.h"

using namespace orv;
namespace fb = orv::wincompat::fallback;

namespace {

class TempFile {
public:
  TempFile() {
    char dir[MAX_PATH], name[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    GetTempFileNameA(dir, "wcc", 0, name);
    path_ = name;
    handle_ =
        CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  ~TempFile() {
    CloseHandle(handle_);
    DeleteFileA(path_.c_str());
  }
  HANDLE Handle() const { return handle_; }
  void Resize(LONGLONG size) {
    LONG high = static_cast<LONG>(size >> 32);
    SetFilePointer(handle_, static_cast<LONG>(size & 0xFFFFFFFF), &high, FILE_BEGIN);
    ASSERT_TRUE(SetEndOfFile(handle_));
  }

private:
  std::string path_;
  HANDLE handle_;
};

TEST(WinCompatFallback, FileSizeCarriesTheHighPartAndTheAllOnesLowPart) {
  TempFile file;
  ASSERT_NE(file.Handle(), INVALID_HANDLE_VALUE);
  for (LONGLONG size : {0LL, 1234LL, 0xFFFFFFFFLL, 5LL * 1024 * 1024 * 1024 + 123}) {
    file.Resize(size);
    LARGE_INTEGER expected{}, got{};
    ASSERT_TRUE(::GetFileSizeEx(file.Handle(), &expected));
    SetLastError(ERROR_ACCESS_DENIED);  // a stale error must not turn 4 GB - 1 into a failure
    ASSERT_TRUE(fb::GetFileSizeEx(file.Handle(), &got)) << size;
    EXPECT_EQ(got.QuadPart, expected.QuadPart);
    EXPECT_EQ(got.QuadPart, size);
  }
}

TEST(WinCompatFallback, FileSizeOfABadHandleFails) {
  LARGE_INTEGER size{};
  EXPECT_FALSE(fb::GetFileSizeEx(INVALID_HANDLE_VALUE, &size));
  EXPECT_NE(GetLastError(), static_cast<DWORD>(NO_ERROR));
}

TEST(WinCompatFallback, EveryWindowIsOnThePrimaryScreenWithItsWorkArea) {
  HWND desktop = GetDesktopWindow();
  HMONITOR monitor = fb::MonitorFromWindow(desktop, MONITOR_DEFAULTTONEAREST);
  EXPECT_EQ(monitor, fb::PrimaryMonitor);
  EXPECT_EQ(fb::MonitorFromWindow(nullptr, MONITOR_DEFAULTTOPRIMARY), fb::PrimaryMonitor);
  EXPECT_EQ(fb::MonitorFromWindow(nullptr, MONITOR_DEFAULTTONULL), nullptr);

  MONITORINFO got{};
  got.cbSize = sizeof got;
  ASSERT_TRUE(fb::GetMonitorInfoA(monitor, &got));
  MONITORINFO real{};
  real.cbSize = sizeof real;
  ASSERT_TRUE(::GetMonitorInfoA(::MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &real));
  EXPECT_TRUE(EqualRect(&got.rcMonitor, &real.rcMonitor));
  EXPECT_TRUE(EqualRect(&got.rcWork, &real.rcWork));
  EXPECT_EQ(got.dwFlags, static_cast<DWORD>(MONITORINFOF_PRIMARY));

  MONITORINFOEXA ex{};
  ex.cbSize = sizeof ex;
  ASSERT_TRUE(fb::GetMonitorInfoA(monitor, &ex));
  EXPECT_STREQ(ex.szDevice, "DISPLAY");
}

TEST(WinCompatFallback, MonitorInfoRefusesOtherHandlesAndShortStructures) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  EXPECT_FALSE(fb::GetMonitorInfoA(reinterpret_cast<HMONITOR>(1), &info));
  info.cbSize = sizeof info - 4;
  EXPECT_FALSE(fb::GetMonitorInfoA(fb::PrimaryMonitor, &info));
}

HWND Make(DWORD style, HWND parentOrOwner) {
  return CreateWindowExA(0, "STATIC", "", style, 0, 0, 10, 10, parentOrOwner, nullptr, nullptr, nullptr);
}

TEST(WinCompatFallback, AncestorsMatchTheSystemsOwn) {
  HWND top = Make(WS_OVERLAPPEDWINDOW, nullptr);
  HWND child = Make(WS_CHILD, top);
  HWND grandchild = Make(WS_CHILD, child);
  HWND popup = Make(WS_POPUP, top);  // owned by top
  HWND popupChild = Make(WS_CHILD, popup);
  HWND popup2 = Make(WS_POPUP, popupChild);  // owned by popup (an owner is always top-level)
  for (HWND wnd : {top, child, grandchild, popup, popupChild, popup2})
    for (UINT flags : {GA_PARENT, GA_ROOT, GA_ROOTOWNER})
      EXPECT_EQ(fb::GetAncestor(wnd, flags), ::GetAncestor(wnd, flags)) << "flags " << flags;
  EXPECT_EQ(fb::GetAncestor(grandchild, GA_ROOT), top);
  EXPECT_EQ(fb::GetAncestor(popup2, GA_ROOTOWNER), top);
  EXPECT_EQ(fb::GetAncestor(nullptr, GA_ROOT), nullptr);
  DestroyWindow(top);
  EXPECT_EQ(fb::GetAncestor(grandchild, GA_ROOT), nullptr);
}

TEST(WinCompatFallback, ComGetsASingleThreadedApartmentOnly) {
  EXPECT_EQ(fb::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
  EXPECT_EQ(fb::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
  CoUninitialize();
  CoUninitialize();
  EXPECT_EQ(fb::CoInitializeEx(nullptr, COINIT_MULTITHREADED), E_NOTIMPL);
}

TEST(WinCompat, TheLookedUpFunctionsAnswerLikeTheSystem) {
  HWND top = Make(WS_OVERLAPPEDWINDOW, nullptr);
  HWND child = Make(WS_CHILD, top);
  EXPECT_EQ(wincompat::GetAncestor(child, GA_ROOT), top);
  EXPECT_EQ(wincompat::MonitorFromWindow(top, MONITOR_DEFAULTTONEAREST),
            ::MonitorFromWindow(top, MONITOR_DEFAULTTONEAREST));
  DestroyWindow(top);
}

}  // namespace

namespace {

std::string ModuleDirectory(HMODULE module) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(module, path, MAX_PATH);
  std::string s = path;
  return s.substr(0, s.find_last_of('\\'));
}

std::string SystemDirectory() {
  char dir[MAX_PATH] = {};
  GetSystemDirectoryA(dir, MAX_PATH);
  return dir;
}

}  // namespace

TEST(WinCompat, SystemLibrariesComeFromTheSystemDirectoryAndAMissingOneIsNull) {
  HMODULE module = wincompat::LoadSystemLibrary("RICHED20.DLL");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(lstrcmpiA(ModuleDirectory(module).c_str(), SystemDirectory().c_str()), 0);
  FreeLibrary(module);
  EXPECT_EQ(wincompat::LoadSystemLibrary("orvasil-no-such-library.dll"), nullptr);
}

// This Wine has SetDefaultDllDirectories; afterwards a bare name still finds a system DLL.
TEST(WinCompat, TheDllSearchIsRestrictedToTheSystemDirectory) {
  EXPECT_TRUE(wincompat::RestrictDllSearchToSystem());
  HMODULE module = LoadLibraryA("RICHED32.DLL");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(lstrcmpiA(ModuleDirectory(module).c_str(), SystemDirectory().c_str()), 0);
  FreeLibrary(module);
}

TEST(WinText, NonAsciiTextRoundTripsThroughTheAnsiCodePage) {
  const std::wstring wide = L"Carte \u00C9t\u00E9 \u00FC\u00DF";
  const std::string ansi = WideToAnsi(wide.c_str());
  ASSERT_FALSE(ansi.empty());
  EXPECT_EQ(ansi.find('?'), std::string::npos) << "the code page has these letters";
  EXPECT_EQ(AnsiToWide(ansi), wide);
}

TEST(WinText, NoTextGivesEmptyTextAndNoTerminatorIsCounted) {
  EXPECT_EQ(WideToAnsi(nullptr), "");
  EXPECT_EQ(WideToAnsi(L""), "");
  EXPECT_EQ(AnsiToWide(""), L"");
  EXPECT_EQ(AnsiToWide("C:\\"), L"C:\\");
  EXPECT_EQ(WideToAnsi(L"C:\\"), "C:\\");
}

TEST(WinText, TheProgramFileNameIsAbsoluteAndNamesThisExe) {
  const std::string path = ProgramFileName();
  ASSERT_GT(path.size(), 7u);
  EXPECT_TRUE(path.compare(1, 2, ":\\") == 0 || path.compare(0, 2, "\\\\") == 0) << path;
  EXPECT_EQ(lstrcmpiA(path.substr(path.size() - 4).c_str(), ".exe"), 0) << path;
  EXPECT_EQ(path.find('\0'), std::string::npos) << "the buffer's rest is cut off";
  EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << path;
}

namespace {

// Counts its references; it starts with one, as an object handed out does.
class TCounted : public IUnknown {
public:
  ULONG Refs = 1;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++Refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --Refs; }
};

}  // namespace

TEST(ComOwner, EveryOwnerReleasesItsOwnReferenceOnce) {
  TCounted object;
  {
    TComPtr<IUnknown> first(&object);
    TComPtr<IUnknown> copy = first;
    EXPECT_EQ(object.Refs, 2u) << "a copy holds a reference of its own";
    TComPtr<IUnknown> moved = std::move(copy);
    EXPECT_EQ(object.Refs, 2u) << "a move hands the reference over";
    copy = moved;
    EXPECT_EQ(object.Refs, 3u);
    copy = std::move(moved);
    EXPECT_EQ(object.Refs, 2u) << "the reference overwritten is released";
    *first.Put() = nullptr;
    EXPECT_EQ(object.Refs, 1u) << "an out-parameter's slot is emptied first";
  }
  EXPECT_EQ(object.Refs, 0u);
}
