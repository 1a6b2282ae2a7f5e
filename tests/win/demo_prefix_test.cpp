// The prefix in which ./scripts/run starts the program maps no drive of the host: only C: and
// Z:, even when a drive was mapped before (tests/win/with-host-drive maps D:).
#include <windows.h>

#include <gtest/gtest.h>

namespace {

constexpr DWORD Bit(char letter) { return DWORD{1} << (letter - 'A'); }

TEST(DemoPrefix, MapsNoDriveButCAndZ) {
  EXPECT_EQ(GetLogicalDrives(), Bit('C') | Bit('Z'));
  EXPECT_EQ(GetDriveTypeA("D:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
}

}  // namespace
