// The units run once for the whole shell test program, with the application initialized as the
// program's entry point does it.
#include "units_env.h"

namespace {
[[maybe_unused]] auto* const kUnits = testsupport::AddUnitsEnvironment({.Application = true});
}  // namespace
