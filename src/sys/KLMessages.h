#pragma once
// The program's own exception classes.
#include "base/Exceptions.h"

namespace orv {

class EKLCustomError : public Exception {
public:
  using Exception::Exception;
};

class EKLError : public EKLCustomError {
public:
  using EKLCustomError::EKLCustomError;
};

}  // namespace orv
