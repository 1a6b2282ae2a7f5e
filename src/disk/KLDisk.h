#pragma once
// Raw, sector-level write access to one logical drive on both Windows families: through the
// volume's device path on the NT family, through the VWIN32 device's DOS disk services on the
// 9x family. The operating system is reached only through TKLDiskKernel, so that everything
// above it builds and is tested without Windows.
#include <cstdint>
#include <string>
#include <vector>

#include "base/AlignedBuffer.h"
#include "base/Component.h"
#include "base/Streams.h"

namespace orv {

using TKLHandle = std::uintptr_t;
inline constexpr TKLHandle KLInvalidHandle = ~TKLHandle{0};

// Win32 values the component passes through the kernel seam (windows.h macros would clash
// with the plain names, so they live here under their own).
namespace klk {
inline constexpr uint32_t GenericRead = 0x80000000u;
inline constexpr uint32_t GenericWrite = 0x40000000u;
inline constexpr uint32_t FileShareRead = 1;
inline constexpr uint32_t FileShareWrite = 2;
inline constexpr uint32_t OpenExisting = 3;
inline constexpr uint32_t FileAttributeNormal = 0x80;
inline constexpr uint32_t FileFlagDeleteOnClose = 0x04000000u;
inline constexpr uint32_t DriveUnknown = 0;
inline constexpr uint32_t DriveNoRootDir = 1;
inline constexpr uint32_t PlatformWin32Windows = 1;
inline constexpr uint32_t PlatformWin32NT = 2;
inline constexpr uint32_t FsctlLockVolume = 0x00090018u;
inline constexpr uint32_t FsctlUnlockVolume = 0x0009001Cu;
inline constexpr uint32_t FsctlDismountVolume = 0x00090020u;
inline constexpr uint32_t FsctlAllowExtendedDasdIo = 0x00090083u;
inline constexpr uint32_t IoctlDiskGetLengthInfo = 0x0007405Cu;
inline constexpr uint32_t IoctlDiskGetPartitionInfo = 0x00074004u;
inline constexpr uint32_t VWin32DiocDosIoctl = 1;
inline constexpr uint32_t VWin32DiocDosInt25 = 2;
inline constexpr uint32_t VWin32DiocDosInt26 = 3;
inline constexpr uint32_t VWin32DiocDosDriveInfo = 6;
// DOS services reached through VWIN32 (the AX and CX values of INT 21h).
inline constexpr uint32_t DosIoctlBlockDevice = 0x440D;     // generic IOCTL for block devices
inline constexpr uint32_t DosExtAbsDiskReadWrite = 0x7305;  // FAT32 absolute read (SI 0) or write (SI 1)
inline constexpr uint32_t DosExtGetFreeSpace = 0x7303;      // FAT32 free-space figures, uncapped
inline constexpr uint32_t DosLockLogicalVolume = 0x084A;    // minor codes of DosIoctlBlockDevice
inline constexpr uint32_t DosUnlockLogicalVolume = 0x086A;
inline constexpr uint32_t DosGetDeviceParams = 0x0860;
inline constexpr uint32_t DosFat32Category = 0x4000;  // category 48h instead of 08h: the FAT32 form
// The most one DOS absolute transfer carries: the services take the packet's buffer as one
// 64 KiB segment, as DOS block drivers do. Its sector count is 16 bits besides.
inline constexpr uint32_t DosMaxTransferBytes = 0x10000;
inline constexpr uint32_t MaxTransferSectorCount = 0xFFFF;
}  // namespace klk

// Drive status codes (StatusCode). Their values are an interface: callers compare them.
inline constexpr int32_t dsReady = 0;
inline constexpr int32_t dsNoDriveSelected = 1;
inline constexpr int32_t dsBadDrive = 2;
inline constexpr int32_t dsClusterTooHigh = 10;
inline constexpr int32_t dsBufferSizeMismatch = 20;
inline constexpr int32_t dsBufferSizeNotSet = 21;
inline constexpr int32_t dsNoCount = 30;
inline constexpr int32_t dsWriteFailed = 5001;
inline constexpr int32_t dsReadFailed = 5002;
inline constexpr int32_t dsReading = 9997;
inline constexpr int32_t dsWriting = 9998;
inline constexpr int32_t dsSuccess = 9999;

// The platform identity the process reads once at start-up (GetVersionExA).
struct TKLPlatformVersion {
  uint32_t PlatformId = klk::PlatformWin32NT;
  uint32_t MinorVersion = 0;
  std::string CSDVersion;
};

#pragma pack(push, 1)
// Register block exchanged with the VWIN32 device.
struct TVWin32Registers {
  uint32_t EBX = 0;
  uint32_t EDX = 0;
  uint32_t ECX = 0;
  uint32_t EAX = 0;
  uint32_t EDI = 0;
  uint32_t ESI = 0;
  uint32_t Flags = 0;
};
// Packet of the absolute disk read and write.
struct TDiskIOPacket {
  uint32_t StartSector = 0;
  uint16_t Sectors = 0;
  uint32_t Buffer = 0;
};
// What INT 21h 7303h fills in.
struct TExtFreeSpace {
  uint16_t Size = 0;
  uint16_t Level = 0;
  uint32_t SectorsPerCluster = 0;
  uint32_t BytesPerSector = 0;
  uint32_t AvailableClusters = 0;
  uint32_t TotalClusters = 0;
  uint32_t AvailablePhysSectors = 0;
  uint32_t TotalPhysSectors = 0;
  uint32_t AvailableAllocationUnits = 0;
  uint32_t TotalAllocationUnits = 0;
  uint32_t Reserved[2] = {};
};
#pragma pack(pop)
// What IOCTL_DISK_GET_PARTITION_INFO answers (PARTITION_INFORMATION).
struct TPartitionInformation {
  int64_t StartingOffset = 0;
  int64_t PartitionLength = 0;
  uint32_t HiddenSectors = 0;
  uint32_t PartitionNumber = 0;
  uint8_t PartitionType = 0;
  uint8_t BootIndicator = 0;
  uint8_t RecognizedPartition = 0;
  uint8_t RewritePartition = 0;
};
static_assert(sizeof(TPartitionInformation) == 32);
static_assert(sizeof(TVWin32Registers) == 28);
static_assert(sizeof(TDiskIOPacket) == 10);
static_assert(sizeof(TExtFreeSpace) == 44);
inline constexpr uint32_t VWin32CarryFlag = 1;

// The operating-system calls of the component, one for one.
class TKLDiskKernel {
public:
  virtual ~TKLDiskKernel() = default;

  virtual const TKLPlatformVersion& PlatformVersion() = 0;
  virtual uint32_t GetDriveTypeA(const std::string& root) = 0;
  virtual bool GetDiskFreeSpaceExA(const std::string& root, uint64_t* freeToCaller, uint64_t* total,
                                   uint64_t* totalFree) = 0;
  virtual bool GetDiskFreeSpaceA(const std::string& root, uint32_t* sectorsPerCluster, uint32_t* bytesPerSector,
                                 uint32_t* freeClusters, uint32_t* totalClusters) = 0;
  // volumeName and fileSystemName hold 256 characters.
  virtual bool GetVolumeInformationA(const std::string& root, char* volumeName, uint32_t volumeNameSize,
                                     uint32_t* serialNumber, uint32_t* maxComponentLength, uint32_t* fileSystemFlags,
                                     char* fileSystemName, uint32_t fileSystemNameSize) = 0;
  virtual TKLHandle CreateFileA(const std::string& path, uint32_t access, uint32_t share, uint32_t disposition,
                                uint32_t flagsAndAttributes) = 0;
  virtual bool CloseHandle(TKLHandle handle) = 0;
  // Moves to an absolute byte offset; false when the system refused.
  virtual bool SetFilePointer(TKLHandle handle, int64_t offset) = 0;
  virtual bool WriteFile(TKLHandle handle, const void* data, uint32_t bytes, uint32_t* written) = 0;
  virtual bool ReadFile(TKLHandle handle, void* data, uint32_t bytes, uint32_t* read) = 0;
  virtual bool DeviceIoControl(TKLHandle handle, uint32_t code, void* in, uint32_t inSize, void* out, uint32_t outSize,
                               uint32_t* returned) = 0;
  virtual bool GetFileSizeEx(TKLHandle handle, int64_t* size) = 0;
  // The error code the last failed call left (GetLastError).
  virtual uint32_t GetLastError() = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;
  // The 32-bit flat address under which the DOS services see Data.
  virtual uint32_t FlatAddress(const void* data) = 0;
  // Memory that the DOS services can reach for a transfer of Size bytes, kept for the next
  // transfer; null when the data can be handed over where it is.
  virtual uint8_t* DosTransferBuffer(uint32_t size) = 0;
};

// The kernel that new components use when none is given; the Windows build installs the
// real one at start-up. Without one every drive is a bad drive.
TKLDiskKernel& DefaultDiskKernel();
void SetDefaultDiskKernel(TKLDiskKernel* kernel);

// A handle of the kernel seam that closes itself through the kernel that gave it. 0 and
// KLInvalidHandle both mean that nothing is held. The kernel must outlive the handle.
class TKLKernelHandle {
public:
  TKLKernelHandle() = default;
  TKLKernelHandle(TKLDiskKernel& kernel, TKLHandle handle) : kernel_(&kernel), handle_(handle) {}
  ~TKLKernelHandle() { Close(); }
  TKLKernelHandle(const TKLKernelHandle&) = delete;
  TKLKernelHandle& operator=(const TKLKernelHandle&) = delete;

  bool Valid() const { return handle_ != 0 && handle_ != KLInvalidHandle; }
  // The handle; KLInvalidHandle when none is held.
  TKLHandle Get() const { return Valid() ? handle_ : KLInvalidHandle; }
  void Reset(TKLDiskKernel& kernel, TKLHandle handle);
  // Closes what is held (answers the kernel's result; true when nothing was held).
  bool Close();
  // Forgets the handle without closing it.
  TKLHandle Release();

private:
  TKLDiskKernel* kernel_ = nullptr;
  TKLHandle handle_ = 0;
};

// The VWIN32 device, opened on first use and shared by every component of the process; the
// unit's end code closes it (FinalizeKLDisk).
extern TKLKernelHandle VWin32Handle;

struct TDiskGeometry {
  int32_t BytesPerCluster = 0;
  int32_t BytesPerSector = 0;
  int32_t SectorsPerCluster = 0;
  int64_t TotalClusters = 0;
  int64_t FreeClusters = 0;
  int64_t TotalBytes = 0;
  int64_t FreeBytes = 0;
};

struct TMediaIdentifier {
  uint32_t SerialNumber = 0;
  std::string VolumeLabel;
  std::string FileSystemName;
};

class TKLDiskAccess : public TComponent {
public:
  explicit TKLDiskAccess(TComponent* owner, TKLDiskKernel* kernel = nullptr);
  ~TKLDiskAccess() override;
  std::string ClassName() const override { return "TKLDiskAccess"; }

  char LogicalDrive() const { return LogicalDrive_; }
  void SetLogicalDrive(char Value);

  uint8_t DriveNumber() const { return DriveNumber_; }
  const std::string& DevicePath() const { return DevicePath_; }
  int64_t StartCluster() const { return StartCluster_; }
  int64_t ClusterCount() const { return ClusterCount_; }
  const TMemoryStream& Buffer() const { return Buffer_; }
  const std::string& BufferText() const { return BufferText_; }
  int32_t StatusCode() const { return StatusCode_; }
  const std::string& StatusText() const { return StatusText_; }
  bool UseFat32Calls() const { return UseFat32Calls_; }
  TKLHandle DriveHandle() const { return DriveHandle_.Get(); }
  bool Opened() const { return Opened_; }
  const TMediaIdentifier& MediaID() const { return MediaID_; }

  // NT family: the volume lock held since OpenDrive. 9x family: the lock of the last write.
  bool Locked() const { return Locked_; }
  // NT family: OpenDrive opened the volume but could not lock it (another program uses it).
  bool InUse() const { return InUse_; }
  // The volume's real length in bytes as learnt at OpenDrive; -1 when it is not known. The 9x
  // family learns it from the BPB of the DOS device parameters, taken only when it agrees
  // with the geometry.
  int64_t VolumeLength() const;
  // The system's error code behind the last failure of OpenDrive, WriteBuffer, WriteSectors or
  // ReadSectors (a DOS error code on the 9x family, whose low values are the Win32 ones); 0 when the last
  // of those operations met none, or the system named none.
  uint32_t LastSystemError() const { return LastSystemError_; }

  TDiskGeometry Geometry;

  bool OpenDrive();
  bool CloseDrive();

  void SetClusterCount(int64_t Count);
  void SetStartCluster(int64_t Cluster);
  void SetBuffer(const std::string& Data);
  void WriteBuffer();
  // Writes the first Count sectors of the buffer at Sector: the pieces of a volume that do not
  // make a whole cluster of the cluster numbering.
  void WriteSectors(int64_t Sector, int32_t Count);
  // Writes Count sectors of zeros at Sector from a page-aligned block kept for the next call
  // (allocated again only for a longer write); the transfer buffer is not touched.
  void WriteZeros(int64_t Sector, int32_t Count);
  // The most sectors one WriteZeros, WriteSectors or ReadSectors carries: a 16-bit count, no
  // more than 16 MiB, and on the 9x family no more than one DOS transfer (DosMaxTransferBytes).
  // 0 while the geometry has no sector size.
  int32_t MaxTransferSectors() const;

  // The read path, beside the write path: reading never changes the card, nor the transfer
  // buffer. Reads Count sectors from Sector of the open volume into ReadData; after a failed
  // read ReadData is empty (status dsReadFailed, the system's error in LastSystemError).
  void ReadSectors(int64_t Sector, int32_t Count);
  const std::vector<uint8_t>& ReadData() const { return ReadData_; }

protected:
  bool IsNT() const;
  TDiskGeometry QueryGeometry(const std::string& Drive);
  TMediaIdentifier QueryMediaIdentifier();
  bool WriteClusters(uint32_t Cluster, const uint8_t* Data);
  bool WriteSectorsDirect(uint32_t Sector, uint16_t Count, const uint8_t* Data);
  bool WriteSectorsVWin32(uint32_t Sector, uint16_t Count, const uint8_t* Data);
  bool ReadSectorsDirect(uint32_t Sector, uint16_t Count, uint8_t* Data);
  bool ReadSectorsVWin32(uint32_t Sector, uint16_t Count, uint8_t* Data);
  bool LockLogicalVolume(uint8_t Level, uint8_t Permissions);
  bool UnlockLogicalVolume();
  bool VWin32Call(uint32_t ControlCode, TVWin32Registers& Registers);
  // A DOS service through VWIN32 with the flags cleared first: true when the call went through
  // and the service left the carry flag clear.
  bool DosService(uint32_t ControlCode, TVWin32Registers& Registers);
  bool OpenVWin32();

private:
  bool Fat32TransfersWork();
  void CheckFat32Transfers();
  void SetStatus(int32_t code);
  void RebuildBuffer();
  bool OpenVolumeNT();
  bool LockVolumeNT();
  int64_t QueryVolumeLength();
  int64_t QueryVolumeLength9x();
  bool QueryExtFreeSpace(TExtFreeSpace& Space);
  void DataArea9x(int64_t& Bytes, int64_t& ClusterBytes);
  bool WriteSectorRun(int64_t Sector, int64_t Count, const uint8_t* Data, int64_t DataBytes);
  // The status around every write: writing while it runs, then success or failure.
  void BeginWrite();
  void EndWrite(bool Ok);
  bool NoteSystemError();
  bool DosTransfer(TDiskIOPacket& Packet, TVWin32Registers& Registers, bool Write);

  TKLDiskKernel& Kernel_;
  char LogicalDrive_ = 0;
  uint8_t DriveNumber_ = 0;
  std::string DevicePath_;
  int64_t StartCluster_ = 0;
  int64_t ClusterCount_ = 0;
  TMemoryStream Buffer_;
  std::string BufferText_;
  std::vector<uint8_t> ReadData_;
  TAlignedBuffer Zeros_;
  bool BufferZero_ = false;
  int32_t StatusCode_ = 0;
  std::string StatusText_;
  bool UseFat32Calls_ = false;
  bool Fat32Checked_ = false;
  TKLKernelHandle DriveHandle_;
  bool Opened_ = false;
  TMediaIdentifier MediaID_;
  bool Locked_ = false;
  bool InUse_ = false;
  int64_t VolumeLength_ = -1;
  bool lengthPending_ = false;  // 9x family: opened, length not asked yet
  uint32_t LastSystemError_ = 0;
};

// The text of a status code; empty for a code the component never sets.
std::string DiskStatusText(int32_t code);

}  // namespace orv
