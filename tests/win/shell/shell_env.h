#pragma once
// Shared by the shell tests: the units run once for the whole program.
#include <windows.h>

#include <string>

namespace shelltest {

// Loads the English language text into the global table.
void LoadEnglish();
// A Unix path as the Windows program sees it (drive Z:).
std::string WinPath(const std::string& unixPath);

}  // namespace shelltest
