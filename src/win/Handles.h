#pragma once
// Owning handle types. Each owns exactly one system object and frees it once; they move but
// never copy. A plain HWND, HDC, ... is the non-owning (borrowed) form. Null() and, where a
// traits type has it, every value IsValid rejects are no handle: never freed, and false.
#include <windows.h>

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
struct TWindowTraits {
  using Handle = HWND;
  static Handle Null() { return nullptr; }
  static void Free(Handle h) { DestroyWindow(h); }
};
struct TGdiObjectTraits {
  using Handle = HGDIOBJ;
  static Handle Null() { return nullptr; }
  static void Free(Handle h) { DeleteObject(h); }
};
struct TMemoryDCTraits {
  using Handle = HDC;
  static Handle Null() { return nullptr; }
  static void Free(Handle h) { DeleteDC(h); }
};
struct TRegKeyTraits {
  using Handle = HKEY;
  static Handle Null() { return nullptr; }
  static void Free(Handle h) { RegCloseKey(h); }
};

using TOwnedHandle = TOwned<TKernelHandleTraits>;
using TOwnedWindow = TOwned<TWindowTraits>;
using TOwnedGdiObject = TOwned<TGdiObjectTraits>;
using TOwnedMemoryDC = TOwned<TMemoryDCTraits>;
using TOwnedRegKey = TOwned<TRegKeyTraits>;

// A window's device context for the length of a scope.
class TWindowDC {
public:
  explicit TWindowDC(HWND wnd) : wnd_(wnd), dc_(GetDC(wnd)) {}
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  ~TWindowDC() {
    if (dc_) ReleaseDC(wnd_, dc_);
  }
  HDC Get() const { return dc_; }

private:
  HWND wnd_;
  HDC dc_;
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
