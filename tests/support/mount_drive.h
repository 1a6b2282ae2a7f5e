#pragma once
// Drives added and removed while the tests run, through Wine's mount manager: running
// processes see them at once.
#include <windows.h>

#include <string>

namespace testsupport {

// Maps Letter to the Unix directory UnixPath as a drive of Type (DRIVE_REMOVABLE, ...);
// DRIVE_NO_ROOT_DIR with an empty path removes the drive. Answers whether Wine took it.
bool DefineUnixDrive(wchar_t Letter, const std::string& UnixPath, ULONG Type);

}  // namespace testsupport
