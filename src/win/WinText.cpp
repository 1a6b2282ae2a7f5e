#include <windows.h>

#include "win/WinText.h"

#include <climits>

namespace orv {

std::wstring AnsiToWide(const std::string& text) {
  if (text.empty() || text.size() > static_cast<size_t>(INT_MAX)) return {};
  const int length = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<size_t>(n), L'\0');
  if (MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), n) != n) return {};
  return wide;
}

std::string WideToAnsi(const wchar_t* text) {
  if (!text) return {};
  const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string ansi(static_cast<size_t>(n), '\0');
  if (WideCharToMultiByte(CP_ACP, 0, text, -1, ansi.data(), n, nullptr, nullptr) != n) return {};
  ansi.resize(static_cast<size_t>(n - 1));
  return ansi;
}

// A name that fills the buffer may have been cut (and left without its NUL, on XP): the buffer
// grows until the name fits, up to the longest path the system has (32767 characters).
std::string ProgramFileName() {
  for (DWORD size = MAX_PATH; size <= 2 * 32768; size *= 2) {
    std::string path(size, '\0');
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), size);
    if (n == 0) return {};
    if (n < size) {
      path.resize(n);
      return path;
    }
  }
  return {};
}

}  // namespace orv
