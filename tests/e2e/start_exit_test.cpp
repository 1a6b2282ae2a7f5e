#include <gtest/gtest.h>

#include "e2e_util.h"

TEST(ProgramStart, OpensItsWindowAndEndsWithExitCodeZeroWhenClosed) {
  e2e::Process p;
  ASSERT_TRUE(p.Start(e2e::ProgramPath())) << e2e::ProgramPath();
  HWND main = e2e::WaitForWindow(p.Id(), nullptr, "Orvasil", 20000);
  ASSERT_NE(main, nullptr);
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(p.WaitExit(20000), 0);
}
