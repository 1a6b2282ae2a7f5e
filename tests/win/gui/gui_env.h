#pragma once
// Shared by the GUI tests: the units are started once for the whole program (the shared
// environment of tests/support, win_env.h).
#include <windows.h>

#include <functional>

#include "win_env.h"

namespace guitest {

// Runs Fn from inside the message loop of whatever is modal at that moment.
void RunFromMessageLoop(std::function<void()> fn);
// The visible form that is active now, as the test sees it.
HWND ActiveTopWindow();

}  // namespace guitest
