// Clicks a point of a window, or only moves the pointer there, for scripts that take
// screenshots:
//   e2e_click CLASS X Y [move]   (client coordinates of the first visible window of that class)
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "e2e_util.h"

int main(int argc, char** argv) {
  const bool moveOnly = argc == 5 && std::strcmp(argv[4], "move") == 0;
  if (argc != 4 && !moveOnly) {
    std::fprintf(stderr, "usage: e2e_click CLASS X Y [move]\n");
    return 2;
  }
  HWND target = nullptr;
  e2e::WaitFor([&] { return (target = FindWindowA(argv[1], nullptr)) && IsWindowVisible(target); }, 20000);
  if (!target) {
    std::fprintf(stderr, "e2e_click: no window of class %s\n", argv[1]);
    return 1;
  }
  // The pointer is put there (hover effects follow it); the press itself is posted, since
  // inside a virtual desktop a pressed button may reach another window first.
  e2e::MoveTo(target, std::atoi(argv[2]), std::atoi(argv[3]));
  const LPARAM at = MAKELPARAM(std::atoi(argv[2]), std::atoi(argv[3]));
  PostMessageA(target, WM_MOUSEMOVE, 0, at);
  if (!moveOnly) {
    PostMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(target, WM_LBUTTONUP, 0, at);
  }
  Sleep(500);
  return 0;
}
