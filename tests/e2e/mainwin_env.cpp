#include "mainwin_env.h"

namespace e2e {

void MainWindowTest::SetUp() {
  ASSERT_TRUE(program.Start(ProgramPath())) << ProgramPath();
  main = WaitForWindow(program.Id(), "TMainForm", nullptr, 20000);
  ASSERT_NE(main, nullptr) << "no main window";
  // The first paint of the pictures.
  Sleep(500);
}

}  // namespace e2e
