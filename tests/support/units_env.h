#pragma once
// The units of a GoogleTest program under Wine: started before its first test and ended after
// its last. A program registers it once, with what it needs started, and with what must go
// before the units end (windows of its own, replaced procedures):
//   [[maybe_unused]] auto* const kUnits = testsupport::AddUnitsEnvironment({.Application = true});
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "win_env.h"

namespace testsupport {

class TUnitsEnvironment : public ::testing::Environment {
public:
  TUnitsEnvironment(TUnitsStart start, std::function<void()> started, std::function<void()> ending)
      : start_(start), started_(std::move(started)), ending_(std::move(ending)) {}
  void SetUp() override {
    ASSERT_TRUE(StartUnits(start_)) << "english.lng not found";
    if (started_) started_();
  }
  void TearDown() override {
    if (ending_) ending_();
    EndUnits();
  }

private:
  TUnitsStart start_;
  std::function<void()> started_, ending_;
};

inline ::testing::Environment* AddUnitsEnvironment(TUnitsStart start = {}, std::function<void()> started = {},
                                                   std::function<void()> ending = {}) {
  return ::testing::AddGlobalTestEnvironment(new TUnitsEnvironment(start, std::move(started), std::move(ending)));
}

}  // namespace testsupport
