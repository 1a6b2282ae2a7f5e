#include <gtest/gtest.h>

#include <stdexcept>

#include "base/Component.h"
#include "base/ScopeGuard.h"
#include "base/StringList.h"

using namespace orv;

namespace {

TEST(ScopeGuard, RunsAtTheEndOfTheScopeUnlessDismissed) {
  int runs = 0;
  {
    TScopeGuard g([&] { ++runs; });
  }
  EXPECT_EQ(runs, 1);
  {
    TScopeGuard g([&] { ++runs; });
    g.Dismiss();
  }
  EXPECT_EQ(runs, 1);
  try {
    TScopeGuard g([&] { ++runs; });
    throw std::runtime_error("x");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(runs, 2);
}

TEST(ScopeGuard, AnUpdateBracketEndsWhenTheWorkRaisesAndTheWorksErrorGoesOn) {
  TStringList list;
  int changes = 0;
  list.OnChange = [&](TObject*) { ++changes; };
  EXPECT_THROW(WithUpdate(list,
                          [&] {
                            list.Add("a");
                            throw std::runtime_error("work failed");
                          }),
               std::runtime_error);
  EXPECT_EQ(list.UpdateCount(), 0);
  EXPECT_EQ(changes, 1) << "the change is announced once, when the bracket ends";
}

TEST(ScopeGuard, AnEndThatRaisesOnTheNormalPathIsNotLost) {
  TStringList list;
  list.OnChange = [](TObject*) { throw std::logic_error("OnChange failed"); };
  EXPECT_THROW(WithUpdate(list, [&] { list.Add("a"); }), std::logic_error);
  EXPECT_EQ(list.UpdateCount(), 0);
}

TEST(ScopeGuard, StateFlagsAreClearedAfterwardsAlsoOnError) {
  TComponent c(nullptr);
  bool inside = false;
  WithState(c, csWriting, [&] { inside = c.HasState(csWriting); });
  EXPECT_TRUE(inside);
  EXPECT_FALSE(c.HasState(csWriting));
  EXPECT_THROW(WithState(c, csWriting, [] { throw std::runtime_error("x"); }), std::runtime_error);
  EXPECT_FALSE(c.HasState(csWriting));
}

}  // namespace
