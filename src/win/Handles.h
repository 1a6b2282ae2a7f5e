#pragma once
// Owning handle types. Each owns exactly one system object and frees it once; they move but
// never copy (but a COM reference: its copy is a reference of its own). A plain HWND, HDC,
// IUnknown*, ... is the non-owning (borrowed) form. Null() and, where a traits type has it,
// every value IsValid rejects are no handle: never freed, and false.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <utility>

namespace orv {

template <typename Traits>
class TOwned {
public:
  using Handle = typename Traits::Handle;

  TOwned() = default;
  explicit TOwned(Handle h) : h_(h) {}
  TOwned(const TOwned&) = delete;
  TOwned& operator=(const TOwned&) = delete;
  TOwned(TOwned&& other) noexcept : h_(other.Release()) {}
  TOwned& operator=(TOwned&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~TOwned() { Reset(); }

  Handle Get() const { return h_; }
  explicit operator bool() const { return Valid(h_); }
  Handle Release() { return std::exchange(h_, Traits::Null()); }
  void Reset(Handle h = Traits::Null()) {
    Handle old = std::exchange(h_, h);
    if (Valid(old)) Traits::Free(old);
  }
  // For a call that hands out a handle: the one held is freed first.
  Handle* Put() {
    Reset();
    return &h_;
  }

private:
  static bool Valid(Handle h) {
    if constexpr (requires { Traits::IsValid(h); })
      return Traits::IsValid(h);
    else
      return h != Traits::Null();
  }

  Handle h_ = Traits::Null();
};

// Kernel calls answer a failure either way: CreateFile with INVALID_HANDLE_VALUE, most
// others (CreateMutex, CreateEvent, OpenProcess) with null.
struct TKernelHandleTraits {
  using Handle = HANDLE;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Free(Handle h) { CloseHandle(h); }
};

// A handle that is null when there is none and that one call frees.
template <typename H, auto FreeFn>
struct TFreedBy {
  using Handle = H;
  static Handle Null() { return nullptr; }
  static void Free(Handle h) { FreeFn(h); }
};

using TOwnedHandle = TOwned<TKernelHandleTraits>;
using TOwnedWindow = TOwned<TFreedBy<HWND, &DestroyWindow>>;
using TOwnedMenu = TOwned<TFreedBy<HMENU, &DestroyMenu>>;
using TOwnedGdiObject = TOwned<TFreedBy<HGDIOBJ, &DeleteObject>>;
// A DC that CreateDC or CreateCompatibleDC made.
using TOwnedDC = TOwned<TFreedBy<HDC, &DeleteDC>>;
using TOwnedMemoryDC = TOwnedDC;
using TOwnedRegKey = TOwned<TFreedBy<HKEY, &RegCloseKey>>;
using TOwnedIcon = TOwned<TFreedBy<HICON, &DestroyIcon>>;
using TOwnedEnhMetafile = TOwned<TFreedBy<HENHMETAFILE, &DeleteEnhMetaFile>>;
using TOwnedImageList = TOwned<TFreedBy<HIMAGELIST, &ImageList_Destroy>>;
using TOwnedModule = TOwned<TFreedBy<HMODULE, &FreeLibrary>>;
// Memory that a COM call hands out from the task allocator (strings, arrays).
template <typename T>
using TCoTaskMem = TOwned<TFreedBy<T*, &CoTaskMemFree>>;
// Memory that a system call allocated for its caller with LocalAlloc (FormatMessage's text).
template <typename T>
using TLocalMem = TOwned<TFreedBy<T*, &LocalFree>>;

// One counted reference to a COM interface, released once. A copy adds a reference of its
// own; a move hands the one held over.
template <typename T>
class TComPtr {
public:
  TComPtr() = default;
  // Takes over a reference the caller already holds.
  explicit TComPtr(T* p) : p_(p) {}
  TComPtr(const TComPtr& other) : p_(other.p_) {
    if (p_) p_->AddRef();
  }
  TComPtr(TComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  TComPtr& operator=(TComPtr other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~TComPtr() { Reset(); }

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  void Reset(T* p = nullptr) {
    T* old = std::exchange(p_, p);
    if (old) old->Release();
  }
  // For a call that hands out a reference: the one held is released first.
  T** Put() {
    Reset();
    return &p_;
  }

private:
  T* p_ = nullptr;
};

// A window's device context (the screen's for no window), for a scope or as a member.
class TWindowDC {
public:
  TWindowDC() = default;
  explicit TWindowDC(HWND wnd) : wnd_(wnd), dc_(GetDC(wnd)) {}
  TWindowDC(TWindowDC&& other) noexcept
      : wnd_(std::exchange(other.wnd_, nullptr)), dc_(std::exchange(other.dc_, nullptr)) {}
  TWindowDC& operator=(TWindowDC&& other) noexcept {
    if (this != &other) {
      Reset();
      wnd_ = std::exchange(other.wnd_, nullptr);
      dc_ = std::exchange(other.dc_, nullptr);
    }
    return *this;
  }
  ~TWindowDC() { Reset(); }
  HDC Get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }
  void Reset() {
    if (dc_) ReleaseDC(wnd_, std::exchange(dc_, nullptr));
    wnd_ = nullptr;
  }

private:
  HWND wnd_ = nullptr;
  HDC dc_ = nullptr;
};

// The DC of a WM_PAINT, from BeginPaint to EndPaint.
class TPaintDC {
public:
  explicit TPaintDC(HWND wnd) : wnd_(wnd), dc_(BeginPaint(wnd, &ps_)) {}
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;
  ~TPaintDC() { EndPaint(wnd_, &ps_); }
  HDC Get() const { return dc_; }

private:
  HWND wnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// A DC's state (origin, clip, selected objects) as it was, back at the end of the scope.
class TSavedDC {
public:
  explicit TSavedDC(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;
  ~TSavedDC() {
    if (saved_) RestoreDC(dc_, saved_);
  }

private:
  HDC dc_;
  int saved_;
};

// Selects an object into a DC and puts the previous one back at the end of the scope.
class TSelectObject {
public:
  TSelectObject(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
  TSelectObject(const TSelectObject&) = delete;
  TSelectObject& operator=(const TSelectObject&) = delete;
  ~TSelectObject() { SelectObject(dc_, old_); }

private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace orv
