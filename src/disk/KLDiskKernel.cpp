#include <windows.h>
#include <winioctl.h>

#include <cstddef>

#include "disk/KLDiskKernel.h"
#include "win/WinCompat.h"

namespace orv {

static_assert(klk::GenericRead == GENERIC_READ && klk::GenericWrite == GENERIC_WRITE);
static_assert(klk::FileShareRead == FILE_SHARE_READ && klk::FileShareWrite == FILE_SHARE_WRITE);
static_assert(klk::OpenExisting == OPEN_EXISTING && klk::FileAttributeNormal == FILE_ATTRIBUTE_NORMAL);
static_assert(klk::FileFlagDeleteOnClose == FILE_FLAG_DELETE_ON_CLOSE);
static_assert(klk::DriveUnknown == DRIVE_UNKNOWN && klk::DriveNoRootDir == DRIVE_NO_ROOT_DIR);
static_assert(klk::PlatformWin32Windows == VER_PLATFORM_WIN32_WINDOWS);
static_assert(klk::PlatformWin32NT == VER_PLATFORM_WIN32_NT);
static_assert(klk::FsctlLockVolume == FSCTL_LOCK_VOLUME && klk::FsctlUnlockVolume == FSCTL_UNLOCK_VOLUME);
static_assert(klk::FsctlDismountVolume == FSCTL_DISMOUNT_VOLUME);
static_assert(klk::FsctlAllowExtendedDasdIo == FSCTL_ALLOW_EXTENDED_DASD_IO);
static_assert(klk::IoctlDiskGetLengthInfo == IOCTL_DISK_GET_LENGTH_INFO);
static_assert(klk::IoctlDiskGetPartitionInfo == IOCTL_DISK_GET_PARTITION_INFO);
static_assert(sizeof(TPartitionInformation) == sizeof(PARTITION_INFORMATION));
static_assert(offsetof(TPartitionInformation, PartitionLength) == offsetof(PARTITION_INFORMATION, PartitionLength));
static_assert(sizeof(TKLHandle) == sizeof(HANDLE));

namespace {

HANDLE H(TKLHandle h) { return reinterpret_cast<HANDLE>(h); }

// See DosTransferBuffer: the window of DOS-reachable memory it hands out.
constexpr uintptr_t SelectorBit = 0x40000;
static_assert(klk::DosMaxTransferBytes <= SelectorBit, "one DOS transfer fits the reachable window");

class TWin32DiskKernel final : public TKLDiskKernel {
public:
  TWin32DiskKernel() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (::GetVersionExA(&info)) {
      version_.PlatformId = info.dwPlatformId;
      version_.MinorVersion = info.dwMinorVersion;
      version_.CSDVersion = info.szCSDVersion;
    }
#ifdef _WIN64
    // No 64-bit Windows is of the 9x family: only a compatibility setting can claim it, and the
    // DOS disk services behind that family take 32-bit addresses that this process cannot give.
    version_.PlatformId = klk::PlatformWin32NT;
#endif
  }

  const TKLPlatformVersion& PlatformVersion() override { return version_; }

  uint32_t GetDriveTypeA(const std::string& root) override { return ::GetDriveTypeA(root.c_str()); }

  bool GetDiskFreeSpaceExA(const std::string& root, uint64_t* freeToCaller, uint64_t* total,
                           uint64_t* totalFree) override {
    ULARGE_INTEGER a{}, t{}, f{};
    BOOL ok = ::GetDiskFreeSpaceExA(root.c_str(), &a, &t, &f);
    *freeToCaller = a.QuadPart;
    *total = t.QuadPart;
    *totalFree = f.QuadPart;
    return ok != FALSE;
  }

  bool GetDiskFreeSpaceA(const std::string& root, uint32_t* sectorsPerCluster, uint32_t* bytesPerSector,
                         uint32_t* freeClusters, uint32_t* totalClusters) override {
    DWORD s = 0, b = 0, f = 0, t = 0;
    BOOL ok = ::GetDiskFreeSpaceA(root.c_str(), &s, &b, &f, &t);
    *sectorsPerCluster = s;
    *bytesPerSector = b;
    *freeClusters = f;
    *totalClusters = t;
    return ok != FALSE;
  }

  bool GetVolumeInformationA(const std::string& root, char* volumeName, uint32_t volumeNameSize, uint32_t* serialNumber,
                             uint32_t* maxComponentLength, uint32_t* fileSystemFlags, char* fileSystemName,
                             uint32_t fileSystemNameSize) override {
    DWORD serial = 0, maxComponent = 0, flags = 0;
    BOOL ok = ::GetVolumeInformationA(root.c_str(), volumeName, volumeNameSize, &serial, &maxComponent, &flags,
                                      fileSystemName, fileSystemNameSize);
    *serialNumber = serial;
    *maxComponentLength = maxComponent;
    *fileSystemFlags = flags;
    return ok != FALSE;
  }

  TKLHandle CreateFileA(const std::string& path, uint32_t access, uint32_t share, uint32_t disposition,
                        uint32_t flagsAndAttributes) override {
    return reinterpret_cast<TKLHandle>(
        ::CreateFileA(path.c_str(), access, share, nullptr, disposition, flagsAndAttributes, nullptr));
  }

  bool CloseHandle(TKLHandle handle) override { return ::CloseHandle(H(handle)) != FALSE; }

  bool SetFilePointer(TKLHandle handle, int64_t offset) override {
    LONG high = static_cast<LONG>(offset >> 32);
    // 0xFFFFFFFF is also a valid low part: only the last error tells a failure.
    ::SetLastError(NO_ERROR);
    DWORD low = ::SetFilePointer(H(handle), static_cast<LONG>(offset & 0xFFFFFFFF), &high, FILE_BEGIN);
    return !(low == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR);
  }

  bool WriteFile(TKLHandle handle, const void* data, uint32_t bytes, uint32_t* written) override {
    DWORD n = 0;
    BOOL ok = ::WriteFile(H(handle), data, bytes, &n, nullptr);
    *written = n;
    return ok != FALSE;
  }

  bool ReadFile(TKLHandle handle, void* data, uint32_t bytes, uint32_t* read) override {
    DWORD n = 0;
    BOOL ok = ::ReadFile(H(handle), data, bytes, &n, nullptr);
    *read = n;
    return ok != FALSE;
  }

  bool DeviceIoControl(TKLHandle handle, uint32_t code, void* in, uint32_t inSize, void* out, uint32_t outSize,
                       uint32_t* returned) override {
    DWORD n = 0;
    BOOL ok = ::DeviceIoControl(H(handle), code, in, inSize, out, outSize, &n, nullptr);
    *returned = n;
    return ok != FALSE;
  }

  bool GetFileSizeEx(TKLHandle handle, int64_t* size) override {
    LARGE_INTEGER s{};
    BOOL ok = wincompat::GetFileSizeEx(H(handle), &s);
    *size = s.QuadPart;
    return ok != FALSE;
  }

  uint32_t GetLastError() override { return ::GetLastError(); }

  void Sleep(uint32_t milliseconds) override { ::Sleep(milliseconds); }

  uint32_t FlatAddress(const void* data) override { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(data)); }

  // Wine's VWIN32 reads the high word of a packet's buffer address as a selector and takes the
  // address as flat only when that selector is a GDT one (bit 2 clear); otherwise the write
  // sends bytes from somewhere else. Memory whose addresses all have bit 18 clear is safe
  // there and costs nothing on Windows 9x.
  uint8_t* DosTransferBuffer(uint32_t size) override {
    if (size > SelectorBit) return nullptr;
    if (!dosBuffer_)
      dosBuffer_ =
          static_cast<uint8_t*>(VirtualAlloc(nullptr, 3 * SelectorBit, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!dosBuffer_) return nullptr;
    // The first boundary of 2 * SelectorBit opens a window of SelectorBit bytes with the bit clear.
    const uintptr_t window = 2 * SelectorBit;
    return reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(dosBuffer_) + window - 1) & ~(window - 1));
  }

private:
  TKLPlatformVersion version_;
  uint8_t* dosBuffer_ = nullptr;
};

}  // namespace

// Never destroyed: handles that it gave out may be closed through it until the process ends.
TKLDiskKernel& Win32DiskKernel() {
  static TWin32DiskKernel* kernel = new TWin32DiskKernel;
  return *kernel;
}

void InitializeKLDisk() { SetDefaultDiskKernel(&Win32DiskKernel()); }

void FinalizeKLDisk() {
  VWin32Handle.Close();
  SetDefaultDiskKernel(nullptr);
}

}  // namespace orv
