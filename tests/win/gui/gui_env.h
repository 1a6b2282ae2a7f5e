#pragma once
// Shared by the GUI tests: the units are started once for the whole program.
#include <windows.h>

#include <functional>
#include <string>

namespace guitest {

// A Unix path as the Windows program sees it (drive Z:).
std::string WinPath(const std::string& unixPath);
// The bytes of a file named by its Unix path; empty when it cannot be read.
std::string ReadUnixFile(const std::string& unixPath);
// Loads the English language text into the global table.
void LoadEnglish();
// Runs Fn from inside the message loop of whatever is modal at that moment.
void RunFromMessageLoop(std::function<void()> fn);
// The visible form that is active now, as the test sees it.
HWND ActiveTopWindow();

}  // namespace guitest
