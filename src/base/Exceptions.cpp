#include "base/Exceptions.h"

namespace orv {

void RaiseAssignError(const std::string& sourceClass, const std::string& destClass) {
  throw EConvertError("Cannot assign a " + sourceClass + " to a " + destClass);
}

}  // namespace orv
