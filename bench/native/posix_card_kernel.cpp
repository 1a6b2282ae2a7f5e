#include "posix_card_kernel.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace orv::bench {

namespace {
constexpr uint32_t SectorBytes = 512;
constexpr char Root[] = "E:\\";
constexpr char Device[] = "\\\\.\\E:";
}  // namespace

TPosixCardKernel::TPosixCardKernel(std::string path, int64_t cardBytes, int32_t clusterBytes)
    : path_(std::move(path)), cardBytes_(cardBytes), clusterBytes_(clusterBytes) {}

uint32_t TPosixCardKernel::GetDriveTypeA(const std::string& root) {
  return root == Root ? 2 : klk::DriveNoRootDir;  // removable
}

bool TPosixCardKernel::GetDiskFreeSpaceExA(const std::string&, uint64_t* freeToCaller, uint64_t* total,
                                           uint64_t* totalFree) {
  *freeToCaller = *totalFree = 0;
  *total = static_cast<uint64_t>(cardBytes_);
  return true;
}

// A cluster range that covers the whole card, so that both ways of writing cover the same bytes.
bool TPosixCardKernel::GetDiskFreeSpaceA(const std::string&, uint32_t* sectorsPerCluster, uint32_t* bytesPerSector,
                                         uint32_t* freeClusters, uint32_t* totalClusters) {
  *sectorsPerCluster = static_cast<uint32_t>(clusterBytes_) / SectorBytes;
  *bytesPerSector = SectorBytes;
  *freeClusters = 0;
  *totalClusters = static_cast<uint32_t>(cardBytes_ / clusterBytes_ - 1);
  return true;
}

bool TPosixCardKernel::GetVolumeInformationA(const std::string&, char* volumeName, uint32_t volumeNameSize,
                                             uint32_t* serialNumber, uint32_t*, uint32_t*, char* fileSystemName,
                                             uint32_t fileSystemNameSize) {
  std::strncpy(volumeName, "MODEL", volumeNameSize);
  std::strncpy(fileSystemName, "FAT", fileSystemNameSize);
  *serialNumber = 0x4D4F444C;
  return true;
}

TKLHandle TPosixCardKernel::CreateFileA(const std::string& path, uint32_t, uint32_t, uint32_t, uint32_t) {
  if (path != Device) return KLInvalidHandle;
  const int fd = ::open(path_.c_str(), O_RDWR);
  if (fd < 0) return Fail(), KLInvalidHandle;
  return static_cast<TKLHandle>(fd) + 1;  // 0 means no handle
}

bool TPosixCardKernel::CloseHandle(TKLHandle handle) { return ::close(static_cast<int>(handle - 1)) == 0; }

bool TPosixCardKernel::SetFilePointer(TKLHandle, int64_t offset) {
  position_ = offset;
  return true;
}

bool TPosixCardKernel::WriteFile(TKLHandle handle, const void* data, uint32_t bytes, uint32_t* written) {
  const ssize_t n = ::pwrite(static_cast<int>(handle - 1), data, bytes, position_);
  *written = n > 0 ? static_cast<uint32_t>(n) : 0;
  if (n < 0) return Fail();
  position_ += n;
  return true;
}

bool TPosixCardKernel::ReadFile(TKLHandle handle, void* data, uint32_t bytes, uint32_t* read) {
  const ssize_t n = ::pread(static_cast<int>(handle - 1), data, bytes, position_);
  *read = n > 0 ? static_cast<uint32_t>(n) : 0;
  if (n < 0) return Fail();
  position_ += n;
  return true;
}

bool TPosixCardKernel::DeviceIoControl(TKLHandle handle, uint32_t code, void*, uint32_t, void* out, uint32_t outSize,
                                       uint32_t* returned) {
  if (code != klk::IoctlDiskGetLengthInfo) return code != klk::IoctlDiskGetPartitionInfo;
  int64_t size = 0;
  if (outSize < sizeof size || !GetFileSizeEx(handle, &size)) return false;
  std::memcpy(out, &size, sizeof size);
  *returned = sizeof size;
  return true;
}

bool TPosixCardKernel::GetFileSizeEx(TKLHandle handle, int64_t* size) {
  struct stat st {};
  if (::fstat(static_cast<int>(handle - 1), &st) != 0) return Fail();
  *size = st.st_size;
  return true;
}

void TPosixCardKernel::Sleep(uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

uint32_t TPosixCardKernel::FlatAddress(const void* data) {
  return static_cast<uint32_t>(reinterpret_cast<std::uintptr_t>(data));
}

bool TPosixCardKernel::Fail() {
  lastError_ = static_cast<uint32_t>(errno);
  return false;
}

}  // namespace orv::bench
