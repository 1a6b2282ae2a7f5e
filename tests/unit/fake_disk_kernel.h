#pragma once
// A kernel for the drive access component that keeps the volume in memory and writes down
// every call, so that the component's dealings with the system can be checked byte for byte.
#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "disk/KLDisk.h"

namespace orv::test {

struct VWin32Call {
  uint32_t Code;
  TVWin32Registers In;
  TDiskIOPacket Packet;  // the packet EBX points to, for a transfer
};

class FakeDiskKernel : public TKLDiskKernel {
public:
  static constexpr TKLHandle VolumeHandle = 0x100;
  static constexpr TKLHandle VWin32 = 0x200;

  TKLPlatformVersion Version;
  std::map<std::string, uint32_t> DriveTypes{{"E:\\", 2}};
  bool AnswersGeometry = true;
  uint64_t TotalBytes = 8 << 20;
  uint32_t SectorsPerCluster = 8, BytesPerSector = 512, FreeClusters = 100, TotalClusters = 2048;
  std::string Label = "CARD", FileSystem = "FAT";
  uint32_t Serial = 0x1234ABCD;

  std::vector<uint8_t> Volume;  // what the device holds
  // > 0 (9x family only): a volume this long whose bytes are not kept, too large for memory.
  // Only zeros are written to it, so a write just marks what it covered (Writes still lists
  // it); reads bring zeros where all was covered, UnkeptFill elsewhere. Past its end a
  // transfer fails.
  int64_t UnkeptSize = 0;
  uint8_t UnkeptFill = 0xA5;
  std::map<int64_t, int64_t> Covered;  // start -> end of the merged ranges written to it
  bool OpenFails = false;
  int LockRefusals = 0;  // lock requests refused before one succeeds; -1: all
  bool DismountFails = false;
  bool LockThrows = false;
  bool LengthIoctl = true;  // else only the handle's size tells the length
  bool FileSize = true;
  bool PartitionIoctl = false;  // the partition's length, as NT 4 and 2000 tell it
  uint32_t FailureError = 21;   // what a failing call leaves as the last error (ERROR_NOT_READY)
  bool SeekFails = false;
  // Whether the sector at a byte offset cannot be written. A write stores the sectors before
  // the first that fails, then fails.
  std::function<bool(int64_t offset)> WriteFails = [](int64_t) { return false; };
  std::function<void()> OnWrite;  // runs inside every write
  // Whether the sector at a byte offset cannot be read; a read of it fails whole.
  std::function<bool(int64_t offset)> ReadFails = [](int64_t) { return false; };
  bool Fat32Transfers = true;    // false: the FAT32 forms answer success and move nothing
  bool DosReadsTransfer = true;  // false: every DOS read answers success and moves nothing
  std::function<bool(uint32_t code, TVWin32Registers&)> VWin32Answer =  // false: the call fails
      [](uint32_t, TVWin32Registers&) { return true; };

  std::vector<std::string> Log;                      // the calls, in order
  std::vector<std::pair<int64_t, uint32_t>> Writes;  // byte offset and length of each write
  std::vector<std::pair<int64_t, uint32_t>> Reads;   // ...and of each read that answered
  const void* LastWriteData = nullptr;               // where the last WriteFile took its bytes
  std::vector<VWin32Call> VWin32Calls;
  int Sleeps = 0;
  int OpenHandles = 0;

  const TKLPlatformVersion& PlatformVersion() override { return Version; }
  uint32_t GetDriveTypeA(const std::string& root) override {
    Log.push_back("GetDriveType " + root);
    auto it = DriveTypes.find(root);
    return it == DriveTypes.end() ? klk::DriveNoRootDir : it->second;
  }
  bool GetDiskFreeSpaceExA(const std::string&, uint64_t* a, uint64_t* t, uint64_t* f) override {
    if (!AnswersGeometry) return false;
    *a = *f = 1000;
    *t = TotalBytes;
    return true;
  }
  bool GetDiskFreeSpaceA(const std::string&, uint32_t* s, uint32_t* b, uint32_t* f, uint32_t* t) override {
    if (!AnswersGeometry) return false;
    *s = SectorsPerCluster, *b = BytesPerSector, *f = FreeClusters, *t = TotalClusters;
    return true;
  }
  bool GetVolumeInformationA(const std::string&, char* name, uint32_t nameSize, uint32_t* serial, uint32_t*, uint32_t*,
                             char* fs, uint32_t fsSize) override {
    std::strncpy(name, Label.c_str(), nameSize);
    std::strncpy(fs, FileSystem.c_str(), fsSize);
    *serial = Serial;
    return true;
  }
  TKLHandle CreateFileA(const std::string& path, uint32_t access, uint32_t share, uint32_t disposition,
                        uint32_t flags) override {
    Log.push_back("CreateFile " + path + " " + std::to_string(access) + " " + std::to_string(share) + " " +
                  std::to_string(disposition) + " " + std::to_string(flags));
    if (path == "\\\\.\\VWIN32") return ++OpenHandles, VWin32;
    if (OpenFails) return Fail(), KLInvalidHandle;
    ++OpenHandles;
    return VolumeHandle;
  }
  bool CloseHandle(TKLHandle h) override {
    Log.push_back("CloseHandle " + std::to_string(h));
    --OpenHandles;
    return true;
  }
  bool SetFilePointer(TKLHandle, int64_t offset) override {
    if (SeekFails) return Fail();
    position_ = offset;
    return true;
  }
  bool WriteFile(TKLHandle, const void* data, uint32_t bytes, uint32_t* written) override {
    if (OnWrite) OnWrite();
    LastWriteData = data;
    *written = 0;
    const int64_t failing = FirstFailing(WriteFails, position_, bytes);
    const auto good = static_cast<uint32_t>(failing < 0 ? bytes : failing - position_);
    if (good > 0) Store(position_, data, good);
    *written = good;
    return failing < 0 || Fail();
  }
  // Like a volume: a read past its end brings only what lies before it.
  bool ReadFile(TKLHandle, void* data, uint32_t bytes, uint32_t* read) override {
    *read = 0;
    if (FirstFailing(ReadFails, position_, bytes) >= 0) return Fail();
    const int64_t size = static_cast<int64_t>(Volume.size());
    const auto n = static_cast<uint32_t>(std::clamp<int64_t>(size - position_, 0, bytes));
    if (n > 0) std::memcpy(data, Volume.data() + position_, n);
    Reads.emplace_back(position_, n);
    *read = n;
    return true;
  }
  bool DeviceIoControl(TKLHandle h, uint32_t code, void* in, uint32_t inSize, void* out, uint32_t outSize,
                       uint32_t* returned) override {
    if (h == VWin32) return VWin32Io(code, in, inSize, out, outSize, returned);
    Log.push_back(IoctlName(code));
    switch (code) {
      case klk::FsctlLockVolume:
        if (LockThrows) throw std::runtime_error("lock");
        if (LockRefusals == 0) return true;
        if (LockRefusals > 0) --LockRefusals;
        return Fail();
      case klk::FsctlDismountVolume: return !DismountFails;
      case klk::IoctlDiskGetLengthInfo: {
        if (!LengthIoctl || outSize < 8) return false;
        int64_t n = static_cast<int64_t>(Volume.size());
        std::memcpy(out, &n, 8);
        *returned = 8;
        return true;
      }
      case klk::IoctlDiskGetPartitionInfo: {
        if (!PartitionIoctl || outSize < sizeof(TPartitionInformation)) return false;
        TPartitionInformation p;
        p.PartitionLength = static_cast<int64_t>(Volume.size());
        std::memcpy(out, &p, sizeof p);
        *returned = sizeof p;
        return true;
      }
      default: return true;
    }
  }
  bool GetFileSizeEx(TKLHandle, int64_t* size) override {
    *size = static_cast<int64_t>(Volume.size());
    return FileSize;
  }
  uint32_t GetLastError() override { return lastError_; }
  void Sleep(uint32_t) override { ++Sleeps; }
  uint32_t FlatAddress(const void* data) override {
    addresses_.push_back(data);
    return static_cast<uint32_t>(0x10000 + addresses_.size() - 1);
  }
  uint8_t* DosTransferBuffer(uint32_t size) override {
    Transfer.assign(size, 0);
    Handed.push_back(Transfer.data());
    return Transfer.data();
  }
  std::vector<uint8_t> Transfer;
  std::vector<const uint8_t*> Handed;  // each answer of DosTransferBuffer
  template <class T>
  const T* At(uint32_t flat) const {
    return static_cast<const T*>(addresses_.at(flat - 0x10000));
  }

  bool CoveredWhole(int64_t from, int64_t to) const {
    auto it = Covered.upper_bound(from);
    return it != Covered.begin() && std::prev(it)->second >= to;
  }

  static std::string IoctlName(uint32_t code) {
    switch (code) {
      case klk::FsctlLockVolume: return "Lock";
      case klk::FsctlUnlockVolume: return "Unlock";
      case klk::FsctlDismountVolume: return "Dismount";
      case klk::FsctlAllowExtendedDasdIo: return "AllowExtendedDasdIo";
      case klk::IoctlDiskGetLengthInfo: return "GetLengthInfo";
      case klk::IoctlDiskGetPartitionInfo: return "GetPartitionInfo";
      default: return "Ioctl " + std::to_string(code);
    }
  }

private:
  // The offset of the first sector of [offset, offset + bytes) that fails; -1 for none.
  int64_t FirstFailing(const std::function<bool(int64_t)>& fails, int64_t offset, int64_t bytes) const {
    for (int64_t at = offset; at < offset + bytes; at += BytesPerSector)
      if (fails(at)) return at;
    return -1;
  }

  bool Fail() {
    lastError_ = FailureError;
    return false;
  }

  void Cover(int64_t from, int64_t to) {
    auto it = Covered.upper_bound(from);
    if (it != Covered.begin() && std::prev(it)->second >= from) {
      --it;
      from = it->first;
      to = std::max(to, it->second);
      it = Covered.erase(it);
    }
    for (; it != Covered.end() && it->first <= to; it = Covered.erase(it)) to = std::max(to, it->second);
    Covered[from] = to;
  }

  void Store(int64_t offset, const void* data, uint32_t bytes) {
    Writes.emplace_back(offset, bytes);
    if (UnkeptSize > 0) return Cover(offset, offset + bytes);
    if (Volume.size() < static_cast<size_t>(offset) + bytes) Volume.resize(offset + bytes);
    std::memcpy(Volume.data() + offset, data, bytes);
  }

  bool VWin32Io(uint32_t code, void* in, uint32_t inSize, void* out, uint32_t outSize, uint32_t*) {
    if (inSize != sizeof(TVWin32Registers) || outSize != sizeof(TVWin32Registers) || in != out)
      throw std::logic_error("register block not exchanged in place");
    auto& regs = *static_cast<TVWin32Registers*>(in);
    VWin32Call call{code, regs, {}};
    const bool fat32 = code == klk::VWin32DiocDosDriveInfo && regs.EAX == 0x7305;
    const bool transfer = code == klk::VWin32DiocDosInt26 || code == klk::VWin32DiocDosInt25 || fat32;
    const bool isWrite = code == klk::VWin32DiocDosInt26 || (fat32 && (regs.ESI & 1));
    if (transfer) call.Packet = *At<TDiskIOPacket>(regs.EBX);
    VWin32Calls.push_back(call);
    if (!VWin32Answer(code, regs)) return false;
    if (!transfer || (regs.Flags & VWin32CarryFlag) || (fat32 && !Fat32Transfers)) return true;
    if (!isWrite && !DosReadsTransfer) return true;
    const int64_t offset = static_cast<int64_t>(call.Packet.StartSector) * BytesPerSector;
    const uint32_t bytes = call.Packet.Sectors * BytesPerSector;
    if (UnkeptSize > 0) return UnkeptTransfer(regs, call.Packet, offset, bytes, isWrite);
    if (isWrite) {
      Store(offset, At<uint8_t>(call.Packet.Buffer), bytes);
      return true;
    }
    // A sector past the end or one that fails: carry set, DOS error 8 (sector not found).
    if (static_cast<size_t>(offset) + bytes > Volume.size() || FirstFailing(ReadFails, offset, bytes) >= 0) {
      regs.Flags |= VWin32CarryFlag;
      regs.EAX = 8;
      return true;
    }
    std::memcpy(const_cast<uint8_t*>(At<uint8_t>(call.Packet.Buffer)), Volume.data() + offset, bytes);
    Reads.emplace_back(offset, bytes);
    return true;
  }

  bool UnkeptTransfer(TVWin32Registers& regs, const TDiskIOPacket& packet, int64_t offset, uint32_t bytes,
                      bool isWrite) {
    if (offset + bytes > UnkeptSize || (!isWrite && FirstFailing(ReadFails, offset, bytes) >= 0)) {
      regs.Flags |= VWin32CarryFlag;
      regs.EAX = 8;
      return true;
    }
    if (isWrite) {
      Store(offset, nullptr, bytes);
      return true;
    }
    auto* data = const_cast<uint8_t*>(At<uint8_t>(packet.Buffer));
    std::memset(data, CoveredWhole(offset, offset + bytes) ? 0 : UnkeptFill, bytes);
    Reads.emplace_back(offset, bytes);
    return true;
  }

  int64_t position_ = 0;
  uint32_t lastError_ = 0;
  std::vector<const void*> addresses_;
};

}  // namespace orv::test
