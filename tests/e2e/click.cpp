// Clicks a point of a window, for scripts that take screenshots:
//   e2e_click CLASS X Y   (client coordinates of the first visible window of that class)
#include <cstdio>
#include <cstdlib>

#include "e2e_util.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: e2e_click CLASS X Y\n");
    return 2;
  }
  HWND target = nullptr;
  e2e::WaitFor([&] { return (target = FindWindowA(argv[1], nullptr)) && IsWindowVisible(target); }, 20000);
  if (!target) {
    std::fprintf(stderr, "e2e_click: no window of class %s\n", argv[1]);
    return 1;
  }
  // Posted rather than moved there: inside a virtual desktop the pointer may be elsewhere.
  const LPARAM at = MAKELPARAM(std::atoi(argv[2]), std::atoi(argv[3]));
  PostMessageA(target, WM_MOUSEMOVE, 0, at);
  PostMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(target, WM_LBUTTONUP, 0, at);
  Sleep(500);
  return 0;
}
