// Clicks a point of a window as a user would, for scripts that take screenshots:
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
  e2e::ClickAt(target, std::atoi(argv[2]), std::atoi(argv[3]));
  return 0;
}
