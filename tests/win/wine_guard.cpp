// Registered as expected to fail: proves that a failing test under Wine fails the run.
#include <gtest/gtest.h>

TEST(WineGuard, FailureReachesTheTestRunner) { FAIL() << "deliberate failure"; }
