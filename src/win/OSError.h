#pragma once
// Errors of the operating system as the framework's exceptions, with the system's own text.
#include <string>

#include "base/Exceptions.h"

namespace orv {

// The system's text for an error code, without its trailing line end; a plain
// "System error N." when the system has none.
std::string SysErrorMessage(unsigned long code);

// An EOSError for Code: "What: <the system's text>", or only the system's text without What.
EOSError OSError(unsigned long code, const std::string& what = {});

// Raises OSError for the calling thread's last error.
[[noreturn]] void RaiseLastOSError(const std::string& what = {});

}  // namespace orv
