#pragma once
// The one path from the system to this layer's window objects.
//
// Every window class of the layer is registered here with ObjectWndProc as its procedure. The
// object behind a window is kept in a window property, set while the window is made (from
// WM_NCCREATE on for our classes; right after creation for system classes such as BUTTON,
// which are not subclassed but must still find their object for notifications). The
// procedure hands each message to the object's WindowMessage; an exception never crosses into
// the system: it is kept, and the message loop raises it again (RaiseWindowException).
#include <windows.h>

#include <exception>
#include <string>

namespace orv {

class TWindowObject {
public:
  TWindowObject() = default;
  TWindowObject(const TWindowObject&) = delete;
  TWindowObject& operator=(const TWindowObject&) = delete;
  virtual ~TWindowObject() = default;

protected:
  friend LRESULT CALLBACK ObjectWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  // The window is being made; the first call the object gets for it.
  virtual void WindowAttached(HWND wnd) {}
  virtual LRESULT WindowMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) = 0;
};

struct TWindowClassParams {
  std::string Name;
  UINT Style = 0;
  HBRUSH Background = nullptr;
};

// Registers the class once per process, with ObjectWndProc.
void RegisterObjectClass(const TWindowClassParams& params);

struct TWindowArgs {
  std::string ClassName;
  std::string Text;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  RECT Bounds{};
  HWND Parent = nullptr;
  HMENU Menu = nullptr;
};

// Makes a window for Object: of a class from RegisterObjectClass, or of a system class. Raises
// the system's error when it cannot be made.
HWND CreateObjectWindow(TWindowObject* object, const TWindowArgs& args);

// The object of a window made by this layer in this process, or null. Find the class behind it
// with dynamic_cast: every class that makes windows derives publicly from TWindowObject.
TWindowObject* WindowObject(HWND wnd);
// The window no longer leads to its object (the object gives the window up or goes).
void DetachWindowObject(HWND wnd);

LRESULT CALLBACK ObjectWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

// The first exception kept from a window procedure since the last raise.
void KeepWindowException(std::exception_ptr e);
void RaiseWindowException();

}  // namespace orv
