#pragma once
// The NT family's volume calls over one POSIX file, for measuring the erase natively: the file
// stands for the volume of drive E:, and the geometry is the bench's own.
#include <string>

#include "disk/KLDisk.h"

namespace orv::bench {

class TPosixCardKernel final : public TKLDiskKernel {
public:
  TPosixCardKernel(std::string path, int64_t cardBytes, int32_t clusterBytes);

  const TKLPlatformVersion& PlatformVersion() override { return version_; }
  uint32_t GetDriveTypeA(const std::string& root) override;
  bool GetDiskFreeSpaceExA(const std::string& root, uint64_t* freeToCaller, uint64_t* total,
                           uint64_t* totalFree) override;
  bool GetDiskFreeSpaceA(const std::string& root, uint32_t* sectorsPerCluster, uint32_t* bytesPerSector,
                         uint32_t* freeClusters, uint32_t* totalClusters) override;
  bool GetVolumeInformationA(const std::string& root, char* volumeName, uint32_t volumeNameSize, uint32_t* serialNumber,
                             uint32_t* maxComponentLength, uint32_t* fileSystemFlags, char* fileSystemName,
                             uint32_t fileSystemNameSize) override;
  TKLHandle CreateFileA(const std::string& path, uint32_t access, uint32_t share, uint32_t disposition,
                        uint32_t flagsAndAttributes) override;
  bool CloseHandle(TKLHandle handle) override;
  bool SetFilePointer(TKLHandle handle, int64_t offset) override;
  bool WriteFile(TKLHandle handle, const void* data, uint32_t bytes, uint32_t* written) override;
  bool ReadFile(TKLHandle handle, void* data, uint32_t bytes, uint32_t* read) override;
  bool DeviceIoControl(TKLHandle handle, uint32_t code, void* in, uint32_t inSize, void* out, uint32_t outSize,
                       uint32_t* returned) override;
  bool GetFileSizeEx(TKLHandle handle, int64_t* size) override;
  uint32_t GetLastError() override { return lastError_; }
  void Sleep(uint32_t milliseconds) override;
  uint32_t FlatAddress(const void* data) override;
  uint8_t* DosTransferBuffer(uint32_t) override { return nullptr; }

private:
  bool Fail();

  TKLPlatformVersion version_;
  std::string path_;
  int64_t cardBytes_;
  int32_t clusterBytes_;
  int64_t position_ = 0;
  uint32_t lastError_ = 0;
};

}  // namespace orv::bench
