// The units start once for the whole test program and end after the last test.
#include <gtest/gtest.h>

#include "app/Units.h"

namespace {

class UnitsEnvironment : public ::testing::Environment {
public:
  void SetUp() override { orv::InitializeUnits(); }
  void TearDown() override { orv::FinalizeUnits(); }
};

[[maybe_unused]] auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new UnitsEnvironment);

}  // namespace
