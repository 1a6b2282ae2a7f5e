#include <windows.h>

#include "win/OSError.h"

#include "win/Handles.h"

namespace orv {

std::string SysErrorMessage(unsigned long code) {
  TLocalMem<char> text;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<LPSTR>(text.Put()), 0, nullptr);
  std::string msg = n && text ? std::string(text.Get(), n) : std::string();
  while (!msg.empty() && (msg.back() == '\r' || msg.back() == '\n' || msg.back() == ' ')) msg.pop_back();
  return msg.empty() ? "System error " + std::to_string(code) + "." : msg;
}

EOSError OSError(unsigned long code, const std::string& what) {
  const std::string text = SysErrorMessage(code);
  return EOSError(code, what.empty() ? text : what + ": " + text);
}

void RaiseLastOSError(const std::string& what) { throw OSError(GetLastError(), what); }

}  // namespace orv
