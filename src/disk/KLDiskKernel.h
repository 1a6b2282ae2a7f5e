#pragma once
// The Win32 side of the drive access component (Windows build only).
#include "disk/KLDisk.h"

namespace orv {

// The kernel that calls Win32; it reads the platform version once, when first asked for.
TKLDiskKernel& Win32DiskKernel();

// Start-up of the KLDisk unit: new components use the Win32 kernel from now on.
void InitializeKLDisk();
// End of the unit: no component reaches the system any more.
void FinalizeKLDisk();

}  // namespace orv
