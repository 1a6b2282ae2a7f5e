#include "disk/KLDisk.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace orv {

TKLKernelHandle VWin32Handle;

void TKLKernelHandle::Reset(TKLDiskKernel& kernel, TKLHandle handle) {
  Close();
  kernel_ = &kernel;
  handle_ = handle;
}

bool TKLKernelHandle::Close() {
  if (!Valid()) return true;
  const TKLHandle handle = Release();
  return kernel_->CloseHandle(handle);
}

TKLHandle TKLKernelHandle::Release() {
  const TKLHandle handle = Get();
  handle_ = 0;
  return handle;
}

namespace {

constexpr int64_t MaxSector = 0xFFFFFFFFll;
constexpr int LockAttempts = 20;
constexpr uint32_t LockRetryDelayMs = 150;
// A transfer larger than this is a caller's mistake, not one to allocate memory for.
constexpr int64_t MaxTransferBytes = 16 << 20;
// What reachable memory holds before a DOS read: a service that answers success and moves
// nothing must not leave zeros behind, which would pass for an erased card.
constexpr uint8_t NoTransferFill = 0xEE;

// Stands in until the program installs the real kernel: every drive is a bad drive.
class TKLAbsentKernel final : public TKLDiskKernel {
public:
  const TKLPlatformVersion& PlatformVersion() override { return version_; }
  uint32_t GetDriveTypeA(const std::string&) override { return klk::DriveNoRootDir; }
  bool GetDiskFreeSpaceExA(const std::string&, uint64_t*, uint64_t*, uint64_t*) override { return false; }
  bool GetDiskFreeSpaceA(const std::string&, uint32_t*, uint32_t*, uint32_t*, uint32_t*) override { return false; }
  bool GetVolumeInformationA(const std::string&, char*, uint32_t, uint32_t*, uint32_t*, uint32_t*, char*,
                             uint32_t) override {
    return false;
  }
  TKLHandle CreateFileA(const std::string&, uint32_t, uint32_t, uint32_t, uint32_t) override { return KLInvalidHandle; }
  bool CloseHandle(TKLHandle) override { return false; }
  bool SetFilePointer(TKLHandle, int64_t) override { return false; }
  bool WriteFile(TKLHandle, const void*, uint32_t, uint32_t*) override { return false; }
  bool ReadFile(TKLHandle, void*, uint32_t, uint32_t*) override { return false; }
  bool DeviceIoControl(TKLHandle, uint32_t, void*, uint32_t, void*, uint32_t, uint32_t*) override { return false; }
  bool GetFileSizeEx(TKLHandle, int64_t*) override { return false; }
  uint32_t GetLastError() override { return 0; }
  void Sleep(uint32_t) override {}
  uint32_t FlatAddress(const void* data) override {
    return static_cast<uint32_t>(reinterpret_cast<std::uintptr_t>(data));
  }
  uint8_t* DosTransferBuffer(uint32_t) override { return nullptr; }

private:
  TKLPlatformVersion version_;
};

TKLAbsentKernel absentKernel;
TKLDiskKernel* defaultKernel = &absentKernel;

bool ContainsC(const std::string& s) {
  return std::any_of(s.begin(), s.end(), [](char c) { return c == 'C' || c == 'c'; });
}

std::string UntilNul(const char* buf, size_t max) { return std::string(buf, std::find(buf, buf + max, '\0')); }

}  // namespace

TKLDiskKernel& DefaultDiskKernel() { return *defaultKernel; }
void SetDefaultDiskKernel(TKLDiskKernel* kernel) { defaultKernel = kernel ? kernel : &absentKernel; }

namespace {

const char* StatusTextOf(int32_t code) {
  switch (code) {
    case dsReady: return "Ready.";
    case dsNoDriveSelected: return "Drive not selected first.";
    case dsBadDrive: return "Bad drive ID or drive not responding.";
    case dsClusterTooHigh: return "Cluster number too high.";
    case dsBufferSizeMismatch: return "Buffer size mismatch.";
    case dsBufferSizeNotSet: return "Buffer size not set first.";
    case dsNoCount: return "No cluster or sector count provided.";
    case dsWriteFailed: return "Write failed.";
    case dsReadFailed: return "Read failed.";
    case dsReading: return "Reading...";
    case dsWriting: return "Writing...";
    case dsSuccess: return "Success!";
    default: return "";
  }
}

}  // namespace

std::string DiskStatusText(int32_t code) { return StatusTextOf(code); }

TKLDiskAccess::TKLDiskAccess(TComponent* owner, TKLDiskKernel* kernel)
    : TComponent(owner), Kernel_(kernel ? *kernel : DefaultDiskKernel()) {
  SetStatus(dsReady);
  const TKLPlatformVersion& v = Kernel_.PlatformVersion();
  if (v.PlatformId == klk::PlatformWin32Windows) {
    if (v.MinorVersion == 0)
      UseFat32Calls_ = ContainsC(v.CSDVersion);
    else if (v.MinorVersion == 10 || v.MinorVersion == 90)
      UseFat32Calls_ = true;
  }
}

TKLDiskAccess::~TKLDiskAccess() {
  Buffer_.Clear();
  BufferText_.clear();
  CloseDrive();
}

bool TKLDiskAccess::IsNT() const { return Kernel_.PlatformVersion().PlatformId == klk::PlatformWin32NT; }

void TKLDiskAccess::SetStatus(int32_t code) {
  StatusCode_ = code;
  StatusText_.assign(StatusTextOf(code));
}

void TKLDiskAccess::SetLogicalDrive(char Value) {
  CloseDrive();
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(Value)));
  LogicalDrive_ = letter;
  DriveNumber_ = static_cast<uint8_t>(static_cast<unsigned char>(letter) - 64);
  DevicePath_ = letter ? std::string("\\\\.\\") + static_cast<char>(DriveNumber_ + 64) + ":" : "";
  // #0 (the value streamed with the form) selects nothing, like a drive without a root.
  const uint32_t type = letter ? Kernel_.GetDriveTypeA(std::string(1, letter) + ":\\") : klk::DriveNoRootDir;
  if (type == klk::DriveUnknown || type == klk::DriveNoRootDir) {
    SetStatus(dsBadDrive);
    LogicalDrive_ = 0;
    DriveNumber_ = 0;
    return;
  }
  Geometry = QueryGeometry(std::string(1, letter));
  MediaID_ = QueryMediaIdentifier();
  SetStatus(dsSuccess);
}

TDiskGeometry TKLDiskAccess::QueryGeometry(const std::string& Drive) {
  const std::string root = Drive.size() == 1 ? Drive + ":\\" : Drive;
  TDiskGeometry g;
  uint64_t freeToCaller = 0, total = 0, totalFree = 0;
  Kernel_.GetDiskFreeSpaceExA(root, &freeToCaller, &total, &totalFree);
  g.TotalBytes = static_cast<int64_t>(total);
  uint32_t spc = 0, bps = 0, freeClusters = 0, totalClusters = 0;
  Kernel_.GetDiskFreeSpaceA(root, &spc, &bps, &freeClusters, &totalClusters);
  g.BytesPerSector = static_cast<int32_t>(bps);
  g.SectorsPerCluster = static_cast<int32_t>(spc);
  g.TotalClusters = totalClusters;
  g.FreeClusters = freeClusters;
  // The 9x services report large volumes in units of four clusters.
  if (!IsNT() && g.TotalBytes > 2147483647)
    g.SectorsPerCluster = static_cast<int32_t>(std::nearbyint(g.SectorsPerCluster / 4.0));
  g.BytesPerCluster = static_cast<int32_t>(static_cast<int64_t>(g.SectorsPerCluster) * g.BytesPerSector);
  return g;
}

TMediaIdentifier TKLDiskAccess::QueryMediaIdentifier() {
  TMediaIdentifier id;
  char volumeName[256] = {};
  char fileSystemName[256] = {};
  uint32_t serial = 0, maxComponent = 0, flags = 0;
  Kernel_.GetVolumeInformationA(std::string(1, LogicalDrive_) + ":\\", volumeName, 255, &serial, &maxComponent, &flags,
                                fileSystemName, 255);
  id.FileSystemName = UntilNul(fileSystemName, sizeof fileSystemName);
  id.SerialNumber = serial;
  id.VolumeLabel = UntilNul(volumeName, sizeof volumeName);
  return id;
}

bool TKLDiskAccess::OpenDrive() {
  CloseDrive();
  InUse_ = false;
  VolumeLength_ = -1;
  lengthPending_ = false;
  LastSystemError_ = 0;
  // With no drive selected the 9x services would take drive number 0: the default drive.
  if (LogicalDrive_ == 0) return false;
  if (IsNT()) {
    try {
      Opened_ = OpenVolumeNT();
    } catch (...) {
      // The component reports through its result, never by raising: a failed open is the news.
      Opened_ = false;
    }
  } else {
    Opened_ = true;
    lengthPending_ = true;
  }
  return Opened_;
}

// A mounted volume refuses raw writes into its file-system area on Vista and later unless
// it is locked or dismounted, so take it away from the file system for the whole run.
bool TKLDiskAccess::OpenVolumeNT() {
  DriveHandle_.Reset(Kernel_, Kernel_.CreateFileA(DevicePath_, klk::GenericRead | klk::GenericWrite,
                                                  klk::FileShareRead | klk::FileShareWrite, klk::OpenExisting,
                                                  klk::FileAttributeNormal));
  if (!DriveHandle_.Valid()) return NoteSystemError();
  uint32_t returned = 0;
  // Lets writes reach the last sectors, which the file system may not count as its own.
  Kernel_.DeviceIoControl(DriveHandle(), klk::FsctlAllowExtendedDasdIo, nullptr, 0, nullptr, 0, &returned);
  if (!LockVolumeNT()) {
    NoteSystemError();
    DriveHandle_.Close();
    InUse_ = true;
    return false;
  }
  Locked_ = true;
  // Failing to dismount (Wine answers error 87 for an image-backed drive) still leaves us the
  // lock, which is what the writes need.
  Kernel_.DeviceIoControl(DriveHandle(), klk::FsctlDismountVolume, nullptr, 0, nullptr, 0, &returned);
  VolumeLength_ = QueryVolumeLength();
  return true;
}

// Explorer, a virus scanner or the camera software may hold the volume for a moment.
bool TKLDiskAccess::LockVolumeNT() {
  for (int attempt = 0; attempt < LockAttempts; ++attempt) {
    uint32_t returned = 0;
    if (Kernel_.DeviceIoControl(DriveHandle(), klk::FsctlLockVolume, nullptr, 0, nullptr, 0, &returned)) return true;
    if (attempt + 1 < LockAttempts) Kernel_.Sleep(LockRetryDelayMs);
  }
  return false;
}

// The length request came with XP; NT 4 and 2000 tell the partition's length instead.
int64_t TKLDiskAccess::QueryVolumeLength() {
  int64_t length = -1;
  uint32_t returned = 0;
  // A length of 0 would make every block lie beyond the end: take it for no answer.
  if (Kernel_.DeviceIoControl(DriveHandle(), klk::IoctlDiskGetLengthInfo, nullptr, 0, &length, sizeof length,
                              &returned) &&
      returned == sizeof length && length > 0)
    return length;
  TPartitionInformation partition;
  if (Kernel_.DeviceIoControl(DriveHandle(), klk::IoctlDiskGetPartitionInfo, nullptr, 0, &partition, sizeof partition,
                              &returned) &&
      returned >= offsetof(TPartitionInformation, HiddenSectors) && partition.PartitionLength > 0)
    return partition.PartitionLength;
  if (Kernel_.GetFileSizeEx(DriveHandle(), &length) && length > 0) return length;
  return -1;
}

namespace {

#pragma pack(push, 1)
// The device parameters of INT 21h 440Dh, minor 60h, up to the end of the BPB's common part.
struct TDosDeviceParams {
  uint8_t SpecialFunctions;
  uint8_t DeviceType;
  uint16_t DeviceAttributes;
  uint16_t Cylinders;
  uint8_t MediaType;
  uint16_t BytesPerSector;
  uint8_t SectorsPerCluster;
  uint16_t ReservedSectors;
  uint8_t NumberOfFATs;
  uint16_t RootEntries;
  uint16_t TotalSectors;
  uint8_t MediaDescriptor;
  uint16_t SectorsPerFAT;
  uint16_t SectorsPerTrack;
  uint16_t Heads;
  uint32_t HiddenSectors;
  uint32_t BigTotalSectors;
  uint32_t BigSectorsPerFAT;  // the FAT32 form (category 48h) only, when SectorsPerFAT is 0
  uint8_t Rest[224];
};
#pragma pack(pop)
static_assert(offsetof(TDosDeviceParams, BytesPerSector) == 7);
static_assert(offsetof(TDosDeviceParams, BigTotalSectors) == 28);

// The clusters the BPB's data area holds; -1 for a BPB that describes no volume.
int64_t BpbClusters(const TDosDeviceParams& p, int64_t totalSectors, bool fat32) {
  if (p.BytesPerSector == 0 || p.SectorsPerCluster == 0) return -1;
  const int64_t perFat = p.SectorsPerFAT != 0 ? p.SectorsPerFAT : fat32 ? p.BigSectorsPerFAT : 0;
  const int64_t rootSectors = (int64_t{p.RootEntries} * 32 + p.BytesPerSector - 1) / p.BytesPerSector;
  const int64_t data = totalSectors - p.ReservedSectors - int64_t{p.NumberOfFATs} * perFat - rootSectors;
  return data > 0 ? data / p.SectorsPerCluster : -1;
}

// The volume's length in bytes when the BPB describes a data area of DataBytes, give or take
// two clusters; -1 when it describes another volume. Compared by bytes: the 9x figures halve
// the clusters of a large FAT32 volume and double their size.
int64_t BpbLength(const TDosDeviceParams& p, bool fat32, int32_t bytesPerSector, int64_t dataBytes,
                  int64_t clusterBytes) {
  const int64_t total = p.TotalSectors != 0 ? p.TotalSectors : p.BigTotalSectors;
  const int64_t clusters = BpbClusters(p, total, fat32);
  if (p.BytesPerSector != bytesPerSector || clusters < 0) return -1;
  const int64_t bpbClusterBytes = int64_t{p.SectorsPerCluster} * p.BytesPerSector;
  const int64_t slack = 2 * std::max(bpbClusterBytes, clusterBytes);
  const int64_t length = total * p.BytesPerSector;
  if (std::llabs(clusters * bpbClusterBytes - dataBytes) > slack || length < dataBytes) return -1;
  return length;
}

}  // namespace

// The figures of the FAT32 free-space call have no 2 GB cap. Both strings live where the
// DOS services can reach them, as a transfer's data does.
bool TKLDiskAccess::QueryExtFreeSpace(TExtFreeSpace& Space) {
  constexpr size_t RootAt = 48;
  uint8_t local[64] = {};
  uint8_t* memory = Kernel_.DosTransferBuffer(sizeof local);
  if (!memory) memory = local;
  std::fill(memory, memory + sizeof local, uint8_t{0});
  const char root[] = {LogicalDrive_, ':', '\\', '\0'};
  std::memcpy(memory + RootAt, root, sizeof root);
  TVWin32Registers regs;
  regs.EAX = klk::DosExtGetFreeSpace;
  regs.EDX = Kernel_.FlatAddress(memory + RootAt);
  regs.EDI = Kernel_.FlatAddress(memory);
  regs.ECX = sizeof(TExtFreeSpace);
  if (!DosService(klk::VWin32DiocDosDriveInfo, regs)) return false;
  std::memcpy(&Space, memory, sizeof Space);
  return true;
}

// The bytes the volume's clusters hold. The free-space query's own figures serve where the
// FAT32 call is missing: they keep the bytes when they halve the clusters, but stop at 2 GB.
void TKLDiskAccess::DataArea9x(int64_t& Bytes, int64_t& ClusterBytes) {
  TExtFreeSpace ext;
  if (UseFat32Calls_ && QueryExtFreeSpace(ext) && ext.SectorsPerCluster > 0 &&
      ext.BytesPerSector == static_cast<uint32_t>(Geometry.BytesPerSector)) {
    ClusterBytes = int64_t{ext.SectorsPerCluster} * ext.BytesPerSector;
    Bytes = ext.TotalClusters * ClusterBytes;
    return;
  }
  ClusterBytes = Geometry.BytesPerCluster;
  Bytes = Geometry.TotalClusters * ClusterBytes;
}

// The 9x services give no volume length, but DOS keeps the volume's BPB. Wine answers a
// made-up one (32 MB of 1 KB clusters, whatever the card): the length is taken only when the
// BPB describes the very data area the system's figures describe.
int64_t TKLDiskAccess::QueryVolumeLength9x() {
  int64_t dataBytes = 0, clusterBytes = 0;
  DataArea9x(dataBytes, clusterBytes);
  if (dataBytes <= 0) return -1;
  for (const uint32_t category : {0u, klk::DosFat32Category}) {
    TDosDeviceParams params{};
    params.SpecialFunctions = 1;  // the medium in the drive, not the device's default
    TVWin32Registers regs;
    regs.EAX = klk::DosIoctlBlockDevice;
    regs.EBX = DriveNumber_;
    regs.ECX = klk::DosGetDeviceParams | category;
    regs.EDX = Kernel_.FlatAddress(&params);
    if (!DosService(klk::VWin32DiocDosIoctl, regs)) continue;
    const int64_t length = BpbLength(params, category != 0, Geometry.BytesPerSector, dataBytes, clusterBytes);
    if (length > 0) return length;
  }
  return -1;
}

int64_t TKLDiskAccess::VolumeLength() const {
  if (lengthPending_) {
    // Asked on first use, so that opening stays free of DOS calls; a length that cannot be
    // learnt is no failure of the open.
    auto* self = const_cast<TKLDiskAccess*>(this);
    self->lengthPending_ = false;
    const uint32_t error = LastSystemError_;
    self->VolumeLength_ = self->QueryVolumeLength9x();
    self->LastSystemError_ = error;
  }
  return VolumeLength_;
}

bool TKLDiskAccess::CloseDrive() {
  if (IsNT()) {
    // The handle, not Opened, says what is open: an open that failed half-way leaves one.
    if (DriveHandle_.Valid() && Locked_) {
      uint32_t returned = 0;
      Kernel_.DeviceIoControl(DriveHandle(), klk::FsctlUnlockVolume, nullptr, 0, nullptr, 0, &returned);
    }
    DriveHandle_.Close();
  }
  Opened_ = false;
  lengthPending_ = false;
  Locked_ = false;
  return true;
}

void TKLDiskAccess::RebuildBuffer() {
  int64_t size = 0;
  if (Geometry.BytesPerCluster > 0 && ClusterCount_ <= std::numeric_limits<int32_t>::max() / Geometry.BytesPerCluster)
    size = ClusterCount_ * Geometry.BytesPerCluster;
  // Refilled on every position change: skip the work when it already holds that many zeros.
  if (!(BufferZero_ && Buffer_.Size() == size)) {
    BufferText_.assign(static_cast<size_t>(size), '\0');
    Buffer_.SetSize(size);
    std::fill(Buffer_.Memory(), Buffer_.Memory() + size, uint8_t{0});
    BufferZero_ = true;
  }
  Buffer_.SetPosition(0);
}

void TKLDiskAccess::SetClusterCount(int64_t Count) {
  if (LogicalDrive_ == 0) return SetStatus(dsNoDriveSelected);
  ClusterCount_ = Count;
  if (Count > 0) RebuildBuffer();
  SetStatus(dsSuccess);
}

void TKLDiskAccess::SetStartCluster(int64_t Cluster) {
  if (LogicalDrive_ == 0) return SetStatus(dsNoDriveSelected);
  // A position whose first sector does not fit the 32-bit sector number would wrap around
  // to the start of the volume.
  const int64_t spc = std::max(Geometry.SectorsPerCluster, 0);
  if (Cluster > Geometry.TotalClusters || Cluster < 0 || (spc > 0 && Cluster > MaxSector / spc))
    return SetStatus(dsClusterTooHigh);
  StartCluster_ = Cluster;
  if (ClusterCount_ > 0) RebuildBuffer();
  SetStatus(dsSuccess);
}

void TKLDiskAccess::SetBuffer(const std::string& Data) {
  if (LogicalDrive_ == 0) return SetStatus(dsNoDriveSelected);
  if (Buffer_.Size() == 0) return SetStatus(dsBufferSizeNotSet);
  if (Data.size() != BufferText_.size()) return SetStatus(dsBufferSizeMismatch);
  BufferText_ = Data;
  BufferZero_ = false;
  Buffer_.SetSize(static_cast<int64_t>(Data.size()));
  Buffer_.SetPosition(0);
  Buffer_.WriteBuffer(Data.data(), static_cast<int64_t>(Data.size()));
  SetStatus(dsSuccess);
}

void TKLDiskAccess::WriteBuffer() {
  if (ClusterCount_ == 0) return SetStatus(dsNoCount);
  const int64_t spc = std::max(Geometry.SectorsPerCluster, 0);
  // The geometry is writable by anyone after the position was accepted: check again.
  if (StartCluster_ < 0 || (spc > 0 && StartCluster_ > MaxSector / spc)) return SetStatus(dsClusterTooHigh);
  BeginWrite();
  EndWrite(ClusterCount_ > 0 && WriteClusters(static_cast<uint32_t>(StartCluster_), Buffer_.Memory()));
}

void TKLDiskAccess::BeginWrite() {
  SetStatus(dsWriting);
  LastSystemError_ = 0;
}

// Only a failed write keeps the system's error code.
void TKLDiskAccess::EndWrite(bool Ok) {
  if (Ok) LastSystemError_ = 0;
  SetStatus(Ok ? dsSuccess : dsWriteFailed);
}

void TKLDiskAccess::WriteSectors(int64_t Sector, int32_t Count) {
  if (LogicalDrive_ == 0) return SetStatus(dsNoDriveSelected);
  if (ClusterCount_ <= 0) return SetStatus(dsNoCount);
  if (Sector < 0 || Sector > MaxSector) return SetStatus(dsClusterTooHigh);
  if (Count <= 0 || Count > MaxTransferSectors() ||
      static_cast<int64_t>(Count) * Geometry.BytesPerSector > Buffer_.Size())
    return SetStatus(dsBufferSizeMismatch);
  BeginWrite();
  EndWrite(WriteSectorRun(Sector, Count, Buffer_.Memory(), Buffer_.Size()));
}

void TKLDiskAccess::WriteZeros(int64_t Sector, int32_t Count) {
  if (LogicalDrive_ == 0) return SetStatus(dsNoDriveSelected);
  if (Sector < 0 || Sector > MaxSector) return SetStatus(dsClusterTooHigh);
  if (Count <= 0 || Count > MaxTransferSectors()) return SetStatus(dsBufferSizeMismatch);
  BeginWrite();
  Zeros_.Reserve(static_cast<size_t>(Count) * static_cast<size_t>(Geometry.BytesPerSector));
  EndWrite(WriteSectorRun(Sector, Count, Zeros_.Data(), static_cast<int64_t>(Zeros_.Size())));
}

int32_t TKLDiskAccess::MaxTransferSectors() const {
  const int64_t bps = Geometry.BytesPerSector;
  if (bps <= 0) return 0;
  const int64_t bytes = IsNT() ? MaxTransferBytes : int64_t{klk::DosMaxTransferBytes};
  return static_cast<int32_t>(std::min<int64_t>(klk::MaxTransferSectorCount, bytes / bps));
}

bool TKLDiskAccess::WriteClusters(uint32_t Cluster, const uint8_t* Data) {
  if (!Opened_ || Geometry.BytesPerSector == 0 || Geometry.SectorsPerCluster == 0) return false;
  const int64_t sector = static_cast<int64_t>(Cluster) * Geometry.SectorsPerCluster;
  return WriteSectorRun(sector, Geometry.SectorsPerCluster, Data, Buffer_.Size());
}

// Every write path ends here: never hand the system a wrapped sector number, a count beyond
// what one transfer of the family carries, or a byte count beyond Data's DataBytes.
bool TKLDiskAccess::WriteSectorRun(int64_t Sector, int64_t Count, const uint8_t* Data, int64_t DataBytes) {
  if (!Opened_ || LogicalDrive_ == 0 || Geometry.BytesPerSector <= 0) return false;
  if (Sector < 0 || Sector > MaxSector || Count <= 0 || Count > MaxTransferSectors()) return false;
  if (Count * Geometry.BytesPerSector > DataBytes) return false;
  const auto sector = static_cast<uint32_t>(Sector);
  const auto count = static_cast<uint16_t>(Count);
  return IsNT() ? WriteSectorsDirect(sector, count, Data) : WriteSectorsVWin32(sector, count, Data);
}

bool TKLDiskAccess::WriteSectorsDirect(uint32_t Sector, uint16_t Count, const uint8_t* Data) {
  if (Geometry.BytesPerSector == 0 || !DriveHandle_.Valid()) return false;
  const auto bytes = static_cast<uint32_t>(Count * Geometry.BytesPerSector);
  const int64_t offset = static_cast<int64_t>(Sector) * Geometry.BytesPerSector;
  if (!Kernel_.SetFilePointer(DriveHandle(), offset)) return NoteSystemError();
  uint32_t written = 0;
  if (!Kernel_.WriteFile(DriveHandle(), Data, bytes, &written)) return NoteSystemError();
  return written == bytes;
}

void TKLDiskAccess::ReadSectors(int64_t Sector, int32_t Count) {
  ReadData_.clear();
  if (LogicalDrive_ == 0) return SetStatus(dsNoDriveSelected);
  if (Sector < 0 || Sector > MaxSector) return SetStatus(dsClusterTooHigh);
  if (Count <= 0 || Count > MaxTransferSectors()) return SetStatus(dsBufferSizeMismatch);
  SetStatus(dsReading);
  LastSystemError_ = 0;
  ReadData_.assign(static_cast<size_t>(Count) * static_cast<size_t>(Geometry.BytesPerSector), NoTransferFill);
  const auto sector = static_cast<uint32_t>(Sector);
  const auto count = static_cast<uint16_t>(Count);
  bool ok = false;
  try {
    ok = Opened_ && (IsNT() ? ReadSectorsDirect(sector, count, ReadData_.data())
                            : ReadSectorsVWin32(sector, count, ReadData_.data()));
  } catch (...) {
    // Like every operation of the component, a read reports through its status.
  }
  if (ok) LastSystemError_ = 0;
  if (!ok) ReadData_.clear();
  SetStatus(ok ? dsSuccess : dsReadFailed);
}

// A read that brings fewer bytes than asked (past the end of the volume) is a failed read.
bool TKLDiskAccess::ReadSectorsDirect(uint32_t Sector, uint16_t Count, uint8_t* Data) {
  if (Geometry.BytesPerSector == 0 || !DriveHandle_.Valid()) return false;
  const auto bytes = static_cast<uint32_t>(Count * Geometry.BytesPerSector);
  const int64_t offset = static_cast<int64_t>(Sector) * Geometry.BytesPerSector;
  if (!Kernel_.SetFilePointer(DriveHandle(), offset)) return NoteSystemError();
  uint32_t read = 0;
  if (!Kernel_.ReadFile(DriveHandle(), Data, bytes, &read)) return NoteSystemError();
  return read == bytes;
}

// Reads need no volume lock: only a writer must keep the file system out.
bool TKLDiskAccess::ReadSectorsVWin32(uint32_t Sector, uint16_t Count, uint8_t* Data) {
  CheckFat32Transfers();
  const uint32_t bytes = uint32_t{Count} * static_cast<uint32_t>(Geometry.BytesPerSector);
  uint8_t* transfer = Kernel_.DosTransferBuffer(bytes);
  if (!transfer) transfer = Data;
  std::fill(transfer, transfer + bytes, NoTransferFill);
  TDiskIOPacket packet;
  packet.StartSector = Sector;
  packet.Sectors = Count;
  packet.Buffer = Kernel_.FlatAddress(transfer);
  TVWin32Registers regs;
  bool ok = UseFat32Calls_ && DosTransfer(packet, regs, false);
  if (!ok) {
    regs.EAX = static_cast<uint32_t>(DriveNumber_) - 1;
    regs.EBX = Kernel_.FlatAddress(&packet);
    regs.ECX = 0xFFFFFFFF;
    ok = DosService(klk::VWin32DiocDosInt25, regs);
  }
  if (ok && transfer != Data) std::memcpy(Data, transfer, bytes);
  return ok;
}

// Some DOS layers (Wine's among them) answer the FAT32 forms with success and no transfer,
// which would leave the card as it was while every write looked done. One read of the first
// sector tells: a working read replaces the marker. The read goes through the memory the DOS
// services can reach, as the writes do: elsewhere Wine would put the sector somewhere else.
bool TKLDiskAccess::Fat32TransfersWork() {
  const int32_t bps = Geometry.BytesPerSector;
  if (bps <= 0 || bps > 65536) return true;
  static constexpr char Marker[] = "orvasil-no-transfer";
  std::string marked(static_cast<size_t>(bps), '\0');
  for (size_t i = 0; i < marked.size(); ++i) marked[i] = Marker[i % (sizeof Marker - 1)];
  std::string local = marked;
  uint8_t* sector = Kernel_.DosTransferBuffer(static_cast<uint32_t>(bps));
  if (sector)
    std::memcpy(sector, marked.data(), marked.size());
  else
    sector = reinterpret_cast<uint8_t*>(local.data());
  TDiskIOPacket packet;
  packet.StartSector = 0;
  packet.Sectors = 1;
  packet.Buffer = Kernel_.FlatAddress(sector);
  TVWin32Registers regs;
  const bool answered = DosTransfer(packet, regs, false);
  return !answered || std::memcmp(sector, marked.data(), marked.size()) != 0;
}

// The FAT32 absolute disk read or write (INT 21h 7305h) of the packet's sectors.
bool TKLDiskAccess::DosTransfer(TDiskIOPacket& packet, TVWin32Registers& regs, bool Write) {
  regs.EAX = klk::DosExtAbsDiskReadWrite;
  regs.EBX = Kernel_.FlatAddress(&packet);
  regs.ECX = 0xFFFFFFFF;
  regs.EDX = DriveNumber_;
  regs.ESI = Write ? 1 : 0;
  return DosService(klk::VWin32DiocDosDriveInfo, regs);
}

void TKLDiskAccess::CheckFat32Transfers() {
  if (!UseFat32Calls_ || Fat32Checked_) return;
  Fat32Checked_ = true;
  UseFat32Calls_ = Fat32TransfersWork();
}

bool TKLDiskAccess::WriteSectorsVWin32(uint32_t Sector, uint16_t Count, const uint8_t* Data) {
  CheckFat32Transfers();
  Locked_ = LockLogicalVolume(1, 1);
  if (!Locked_) return false;
  const uint32_t bytes = uint32_t{Count} * static_cast<uint32_t>(Geometry.BytesPerSector);
  const uint8_t* transfer = Data;
  if (uint8_t* reachable = Kernel_.DosTransferBuffer(bytes)) {
    std::memcpy(reachable, Data, bytes);
    transfer = reachable;
  }
  TDiskIOPacket packet;
  packet.StartSector = Sector;
  packet.Sectors = Count;
  packet.Buffer = Kernel_.FlatAddress(transfer);
  TVWin32Registers regs;
  bool ok = UseFat32Calls_ && DosTransfer(packet, regs, true);
  if (!ok) {
    regs.EAX = static_cast<uint32_t>(DriveNumber_) - 1;
    regs.EBX = Kernel_.FlatAddress(&packet);
    regs.ECX = 0xFFFFFFFF;
    ok = DosService(klk::VWin32DiocDosInt26, regs);
  }
  UnlockLogicalVolume();
  return ok;
}

bool TKLDiskAccess::LockLogicalVolume(uint8_t Level, uint8_t Permissions) {
  if (!Opened_) return false;
  const uint32_t permissions = Level <= 1 ? (Permissions & 7u) : 0u;
  auto attempt = [&](uint32_t minorCode) {
    TVWin32Registers regs;
    regs.EAX = klk::DosIoctlBlockDevice;
    regs.EBX = Level * 256u + DriveNumber_;
    regs.ECX = minorCode;
    regs.EDX = permissions;
    return DosService(klk::VWin32DiocDosIoctl, regs);
  };
  bool ok = UseFat32Calls_ && attempt(klk::DosLockLogicalVolume | klk::DosFat32Category);
  if (!ok) ok = attempt(klk::DosLockLogicalVolume);
  return ok;
}

bool TKLDiskAccess::UnlockLogicalVolume() {
  auto attempt = [&](uint32_t minorCode) {
    TVWin32Registers regs;
    regs.EAX = klk::DosIoctlBlockDevice;
    regs.EBX = DriveNumber_;
    regs.ECX = minorCode;
    return DosService(klk::VWin32DiocDosIoctl, regs);
  };
  bool ok = UseFat32Calls_ && attempt(klk::DosUnlockLogicalVolume | klk::DosFat32Category);
  if (!ok) ok = attempt(klk::DosUnlockLogicalVolume);
  return ok;
}

// With the carry flag set, a DOS service leaves its error code in AX.
bool TKLDiskAccess::DosService(uint32_t ControlCode, TVWin32Registers& Registers) {
  Registers.Flags = 0;
  if (!VWin32Call(ControlCode, Registers)) return NoteSystemError();
  if (!(Registers.Flags & VWin32CarryFlag)) return true;
  LastSystemError_ = Registers.EAX & 0xFFFF;
  return false;
}

bool TKLDiskAccess::NoteSystemError() {
  LastSystemError_ = Kernel_.GetLastError();
  return false;
}

bool TKLDiskAccess::VWin32Call(uint32_t ControlCode, TVWin32Registers& Registers) {
  if (ControlCode == 0) {
    VWin32Handle.Close();
    return true;
  }
  if (!OpenVWin32()) return false;
  uint32_t returned = 0;
  return Kernel_.DeviceIoControl(VWin32Handle.Get(), ControlCode, &Registers, sizeof Registers, &Registers,
                                 sizeof Registers, &returned);
}

bool TKLDiskAccess::OpenVWin32() {
  if (VWin32Handle.Valid()) return true;
  if (IsNT()) return false;
  VWin32Handle.Reset(Kernel_, Kernel_.CreateFileA("\\\\.\\VWIN32", 0, 0, 0, klk::FileFlagDeleteOnClose));
  return VWin32Handle.Valid();
}

}  // namespace orv
