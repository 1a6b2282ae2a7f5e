#include <windows.h>

#include "gui/WindowClass.h"

#include <set>
#include <utility>

#include "win/OSError.h"

namespace orv {

namespace {
const char kObjectProp[] = "OrvasilWindowObject";
std::exception_ptr gPending;

void AttachWindowObject(HWND wnd, TWindowObject* object) { SetPropA(wnd, kObjectProp, object); }
}  // namespace

void RegisterObjectClass(const TWindowClassParams& params) {
  static std::set<std::string> registered;
  if (registered.count(params.Name)) return;
  WNDCLASSA wc{};
  wc.style = params.Style;
  wc.lpfnWndProc = ObjectWndProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = params.Background;
  wc.lpszClassName = params.Name.c_str();
  if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    RaiseLastOSError("Cannot register window class " + params.Name);
  registered.insert(params.Name);
}

HWND CreateObjectWindow(TWindowObject* object, const TWindowArgs& args) {
  const RECT& r = args.Bounds;
  HWND wnd =
      CreateWindowExA(args.ExStyle, args.ClassName.c_str(), args.Text.c_str(), args.Style, r.left, r.top,
                      r.right - r.left, r.bottom - r.top, args.Parent, args.Menu, GetModuleHandleA(nullptr), object);
  if (!wnd) RaiseLastOSError("Error creating window " + args.ClassName);
  AttachWindowObject(wnd, object);
  return wnd;
}

TWindowObject* WindowObject(HWND wnd) {
  if (!wnd) return nullptr;
  DWORD pid = 0;
  GetWindowThreadProcessId(wnd, &pid);
  if (pid != GetCurrentProcessId()) return nullptr;
  return static_cast<TWindowObject*>(GetPropA(wnd, kObjectProp));
}

void DetachWindowObject(HWND wnd) {
  if (wnd) RemovePropA(wnd, kObjectProp);
}

LRESULT CALLBACK ObjectWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  TWindowObject* self = WindowObject(wnd);
  try {
    if (!self && msg == WM_NCCREATE) {
      self = static_cast<TWindowObject*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
      if (self) {
        AttachWindowObject(wnd, self);
        self->WindowAttached(wnd);
      }
    }
    // Messages before WM_NCCREATE (WM_GETMINMAXINFO) have no object yet.
    if (!self) return DefWindowProcA(wnd, msg, wp, lp);
    const LRESULT result = self->WindowMessage(wnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) DetachWindowObject(wnd);
    return result;
  } catch (...) {
    KeepWindowException(std::current_exception());
    if (msg == WM_NCDESTROY) DetachWindowObject(wnd);
    return 0;
  }
}

void KeepWindowException(std::exception_ptr e) {
  if (!gPending) gPending = std::move(e);
}

void RaiseWindowException() {
  if (gPending) std::rethrow_exception(std::exchange(gPending, nullptr));
}

}  // namespace orv
