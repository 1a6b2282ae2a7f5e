#pragma once
// The framework's exceptions: each carries a message text, as the user would read it.
#include <stdexcept>
#include <string>

namespace orv {

class Exception : public std::runtime_error {
public:
  explicit Exception(const std::string& msg) : std::runtime_error(msg) {}
  std::string Message() const { return what(); }
};

class EStreamError : public Exception {
  using Exception::Exception;
};
class EReadError : public EStreamError {
public:
  EReadError() : EStreamError("Stream read error") {}
  using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
public:
  EWriteError() : EStreamError("Stream write error") {}
  using EStreamError::EStreamError;
};
class EConvertError : public Exception {
  using Exception::Exception;
};
// A resource of the program is missing or cannot be used.
class EResNotFound : public Exception {
  using Exception::Exception;
};
class EListError : public Exception {
  using Exception::Exception;
};
class EComponentError : public Exception {
  using Exception::Exception;
};
class EClassNotFound : public Exception {
  using Exception::Exception;
};
class EFilerError : public Exception {
  using Exception::Exception;
};
class EInvalidOperation : public Exception {
  using Exception::Exception;
};
// A window definition in text form that cannot be converted; the message names the line.
class EParserError : public Exception {
  using Exception::Exception;
};
class EZlibError : public EStreamError {
  using EStreamError::EStreamError;
};
// An operating-system call failed; the message is the system's own error text.
class EOSError : public Exception {
public:
  EOSError(unsigned long code, const std::string& msg) : Exception(msg), ErrorCode(code) {}
  unsigned long ErrorCode;
};

// "Cannot assign a %s to a %s", with the source's and the destination's class names.
[[noreturn]] void RaiseAssignError(const std::string& sourceClass, const std::string& destClass);

}  // namespace orv
