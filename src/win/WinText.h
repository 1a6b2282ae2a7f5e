#pragma once
// Text between the system's ANSI code page and UTF-16, which COM and the shell hand out, and
// the program's own file name.
#include <string>

namespace orv {

// "" when the text does not convert.
std::wstring AnsiToWide(const std::string& text);
// Up to the terminating NUL; null or text that does not convert gives "".
std::string WideToAnsi(const wchar_t* text);
// The full path of the running program's file, however long; "" when the system cannot tell.
std::string ProgramFileName();

}  // namespace orv
