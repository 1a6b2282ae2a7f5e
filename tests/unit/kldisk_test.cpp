#include <gtest/gtest.h>

#include <algorithm>

#include "disk/KLDisk.h"
#include "unit/fake_disk_kernel.h"

using namespace orv;
using orv::test::FakeDiskKernel;

namespace {

TKLPlatformVersion Win98() { return {klk::PlatformWin32Windows, 10, ""}; }

class KLDiskTest : public ::testing::Test {
protected:
  void SetUp() override { VWin32Handle.Release(); }
  void TearDown() override { VWin32Handle.Close(); }

  // Selected, sized to one cluster of 1 KB and opened.
  void Ready(TKLDiskAccess& rda, int64_t cluster = 0) {
    kernel.SectorsPerCluster = 2;
    rda.SetLogicalDrive('e');
    rda.SetClusterCount(1);
    ASSERT_TRUE(rda.OpenDrive());
    rda.SetStartCluster(cluster);
  }

  FakeDiskKernel kernel;
};

bool AllZero(const TMemoryStream& s, int64_t size) {
  return std::all_of(s.Memory(), s.Memory() + size, [](uint8_t b) { return b == 0; });
}

}  // namespace

TEST_F(KLDiskTest, SelectionUpperCasesTheLetterAndReadsGeometryAndIdentity) {
  TKLDiskAccess rda(nullptr, &kernel);
  EXPECT_EQ(rda.StatusCode(), 0);
  EXPECT_EQ(rda.StatusText(), "Ready.");
  rda.SetLogicalDrive('e');
  EXPECT_EQ(rda.LogicalDrive(), 'E');
  EXPECT_EQ(rda.DriveNumber(), 5);
  EXPECT_EQ(rda.DevicePath(), "\\\\.\\E:");
  EXPECT_EQ(kernel.Log.front(), "GetDriveType E:\\");
  EXPECT_EQ(rda.StatusCode(), 9999);
  EXPECT_EQ(rda.StatusText(), "Success!");
  EXPECT_EQ(rda.Geometry.BytesPerSector, 512);
  EXPECT_EQ(rda.Geometry.SectorsPerCluster, 8);
  EXPECT_EQ(rda.Geometry.BytesPerCluster, 4096);
  EXPECT_EQ(rda.Geometry.TotalClusters, 2048);
  EXPECT_EQ(rda.Geometry.FreeClusters, 100);
  EXPECT_EQ(rda.Geometry.TotalBytes, 8 << 20);
  EXPECT_EQ(rda.Geometry.FreeBytes, 0);
  EXPECT_EQ(rda.MediaID().VolumeLabel, "CARD");
  EXPECT_EQ(rda.MediaID().FileSystemName, "FAT");
  EXPECT_EQ(rda.MediaID().SerialNumber, 0x1234ABCDu);
}

TEST_F(KLDiskTest, BadDriveDeselectsAndKeepsThePreviousGeometry) {
  kernel.DriveTypes["U:\\"] = klk::DriveUnknown;
  TKLDiskAccess rda(nullptr, &kernel);
  rda.SetLogicalDrive('q');
  EXPECT_EQ(rda.StatusCode(), 2);
  EXPECT_EQ(rda.StatusText(), "Bad drive ID or drive not responding.");
  EXPECT_EQ(rda.LogicalDrive(), 0);
  EXPECT_EQ(rda.DriveNumber(), 0);
  EXPECT_EQ(rda.Geometry.TotalClusters, 0);

  rda.SetLogicalDrive('E');
  for (char bad : {'U', 'Q', '\0'}) {
    rda.SetLogicalDrive(bad);
    EXPECT_EQ(rda.StatusCode(), 2) << bad;
    EXPECT_EQ(rda.LogicalDrive(), 0);
    EXPECT_EQ(rda.DriveNumber(), 0);
    EXPECT_EQ(rda.Geometry.TotalClusters, 2048);
    EXPECT_EQ(rda.Geometry.BytesPerCluster, 4096);
  }
  rda.SetClusterCount(1);
  EXPECT_EQ(rda.StatusCode(), 1);
  EXPECT_EQ(rda.StatusText(), "Drive not selected first.");
  rda.SetStartCluster(0);
  EXPECT_EQ(rda.StatusCode(), 1);
  rda.SetBuffer("");
  EXPECT_EQ(rda.StatusCode(), 1);
}

TEST_F(KLDiskTest, DriveWithoutGeometryAnswersIsSelectedWithAllZeros) {
  kernel.AnswersGeometry = false;
  TKLDiskAccess rda(nullptr, &kernel);
  rda.SetLogicalDrive('E');
  EXPECT_EQ(rda.StatusCode(), 9999);
  EXPECT_EQ(rda.LogicalDrive(), 'E');
  const TDiskGeometry& g = rda.Geometry;
  EXPECT_EQ(g.BytesPerCluster | g.BytesPerSector | g.SectorsPerCluster, 0);
  EXPECT_EQ(g.TotalClusters | g.FreeClusters | g.TotalBytes | g.FreeBytes, 0);
}

TEST_F(KLDiskTest, NineXFamilyQuartersSectorsPerClusterOfLargeVolumesRoundingToEven) {
  kernel.Version = Win98();
  kernel.TotalBytes = 2147483648u;
  for (auto [reported, expected] : {std::pair{64u, 16}, {2u, 0}, {6u, 2}, {10u, 2}}) {
    kernel.SectorsPerCluster = reported;
    TKLDiskAccess rda(nullptr, &kernel);
    rda.SetLogicalDrive('E');
    EXPECT_EQ(rda.Geometry.SectorsPerCluster, expected) << reported;
    EXPECT_EQ(rda.Geometry.BytesPerCluster, expected * 512);
    EXPECT_EQ(rda.Geometry.TotalClusters, 2048);
  }
  kernel.SectorsPerCluster = 64;
  kernel.TotalBytes = 2147483647;
  TKLDiskAccess small(nullptr, &kernel);
  small.SetLogicalDrive('E');
  EXPECT_EQ(small.Geometry.SectorsPerCluster, 64);

  kernel.Version = {};
  kernel.TotalBytes = 4294967296u;
  TKLDiskAccess nt(nullptr, &kernel);
  nt.SetLogicalDrive('E');
  EXPECT_EQ(nt.Geometry.SectorsPerCluster, 64);
}

TEST_F(KLDiskTest, Fat32CallsFollowThePlatformVersion) {
  struct Case {
    uint32_t platform, minor;
    const char* csd;
    bool fat32;
  } cases[] = {{1, 0, "", false}, {1, 0, " C ", true}, {1, 0, "c", true},   {1, 0, "B", false}, {1, 10, "", true},
               {1, 90, "", true}, {1, 5, "C", false},  {2, 10, "C", false}, {0, 10, "", false}};
  for (const Case& c : cases) {
    kernel.Version = {c.platform, c.minor, c.csd};
    TKLDiskAccess rda(nullptr, &kernel);
    EXPECT_EQ(rda.UseFat32Calls(), c.fat32) << c.platform << "." << c.minor << " '" << c.csd << "'";
  }
}

TEST_F(KLDiskTest, NTOpenTakesTheVolumeFromTheFileSystemAndCloseGivesItBack) {
  kernel.Volume.assign(5000, 0xA5);
  kernel.LockRefusals = 3;
  kernel.DismountFails = true;  // as Wine answers for an image-backed drive
  TKLDiskAccess rda(nullptr, &kernel);
  rda.SetLogicalDrive('E');
  kernel.Log.clear();
  EXPECT_TRUE(rda.OpenDrive());
  EXPECT_TRUE(rda.Opened());
  EXPECT_TRUE(rda.Locked());
  EXPECT_EQ(rda.DriveHandle(), FakeDiskKernel::VolumeHandle);
  EXPECT_EQ(rda.VolumeLength(), 5000);
  EXPECT_EQ(kernel.Sleeps, 3);
  EXPECT_EQ(kernel.Log, (std::vector<std::string>{"CreateFile \\\\.\\E: 3221225472 3 3 128", "AllowExtendedDasdIo",
                                                  "Lock", "Lock", "Lock", "Lock", "Dismount", "GetLengthInfo"}));
  kernel.Log.clear();
  EXPECT_TRUE(rda.CloseDrive());
  EXPECT_EQ(kernel.Log, (std::vector<std::string>{"Unlock", "CloseHandle 256"}));
  EXPECT_EQ(rda.DriveHandle(), KLInvalidHandle);
  EXPECT_FALSE(rda.Opened());
  kernel.Log.clear();
  EXPECT_TRUE(rda.CloseDrive());
  EXPECT_TRUE(kernel.Log.empty());
}

TEST_F(KLDiskTest, VolumeLengthFallsBackToTheHandlesSize) {
  kernel.Volume.assign(7168, 0);
  kernel.LengthIoctl = false;
  TKLDiskAccess rda(nullptr, &kernel);
  rda.SetLogicalDrive('E');
  ASSERT_TRUE(rda.OpenDrive());
  EXPECT_EQ(rda.VolumeLength(), 7168);
  kernel.FileSize = false;
  ASSERT_TRUE(rda.OpenDrive());
  EXPECT_EQ(rda.VolumeLength(), -1);
  EXPECT_EQ(kernel.OpenHandles, 1);
}

// NT 4 and 2000 know no length request; they tell the partition's length, before the
// handle's size, which a volume handle does not always answer.
TEST_F(KLDiskTest, WithoutTheLengthRequestThePartitionsLengthIsTaken) {
  kernel.Volume.assign(8499200, 0);
  kernel.LengthIoctl = kernel.FileSize = false;
  kernel.PartitionIoctl = true;
  TKLDiskAccess rda(nullptr, &kernel);
  rda.SetLogicalDrive('E');
  kernel.Log.clear();
  ASSERT_TRUE(rda.OpenDrive());
  EXPECT_EQ(rda.VolumeLength(), 8499200);
  EXPECT_EQ(std::vector<std::string>(kernel.Log.end() - 2, kernel.Log.end()),
            (std::vector<std::string>{"GetLengthInfo", "GetPartitionInfo"}));
  kernel.Volume.clear();  // a partition of length 0 tells nothing
  ASSERT_TRUE(rda.OpenDrive());
  EXPECT_EQ(rda.VolumeLength(), -1);
}

TEST_F(KLDiskTest, VolumeHeldByAnotherProgramIsNotWritten) {
  kernel.LockRefusals = -1;
  TKLDiskAccess rda(nullptr, &kernel);
  rda.SetLogicalDrive('E');
  rda.SetClusterCount(1);
  EXPECT_FALSE(rda.OpenDrive());
  EXPECT_TRUE(rda.InUse());
  EXPECT_FALSE(rda.Locked());
  EXPECT_EQ(kernel.Sleeps, 19);
  EXPECT_EQ(kernel.OpenHandles, 0);
  EXPECT_EQ(std::count(kernel.Log.begin(), kernel.Log.end(), "Dismount"), 0);
  rda.WriteBuffer();
  EXPECT_EQ(rda.StatusCode(), 5001);
  EXPECT_TRUE(kernel.Writes.empty());
}

TEST_F(KLDiskTest, OpenThatFailsHalfWayLeavesNoHandleBehind) {
  kernel.LockThrows = true;
  TKLDiskAccess rda(nullptr, &kernel);
  rda.SetLogicalDrive('E');
  EXPECT_FALSE(rda.OpenDrive());
  EXPECT_FALSE(rda.Opened());
  rda.CloseDrive();
  EXPECT_EQ(kernel.OpenHandles, 0);
}

TEST_F(KLDiskTest, NoDriveSelectedOpensNothing) {
  kernel.Version = Win98();
  TKLDiskAccess rda(nullptr, &kernel);
  EXPECT_FALSE(rda.OpenDrive());
  rda.SetLogicalDrive('E');
  rda.SetClusterCount(1);
  rda.SetLogicalDrive('Q');
  EXPECT_FALSE(rda.OpenDrive());
  rda.WriteBuffer();
  EXPECT_EQ(rda.StatusCode(), 5001);
  EXPECT_TRUE(kernel.VWin32Calls.empty());
}

TEST_F(KLDiskTest, WriteBufferWritesOneClusterAtItsByteOffset) {
  TKLDiskAccess rda(nullptr, &kernel);
  Ready(rda, 5);
  EXPECT_EQ(rda.BufferText().size(), 1024u);
  rda.WriteBuffer();
  EXPECT_EQ(rda.StatusCode(), 9999);
  ASSERT_EQ(kernel.Writes.size(), 1u);
  EXPECT_EQ(kernel.Writes[0], (std::pair<int64_t, uint32_t>{5120, 1024}));
  EXPECT_TRUE(std::all_of(kernel.Volume.begin() + 5120, kernel.Volume.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(KLDiskTest, FailedPositioningOrWriteReportsFailureAndWritesNothing) {
  TKLDiskAccess rda(nullptr, &kernel);
  Ready(rda, 3);
  kernel.SeekFails = true;
  rda.WriteBuffer();
  EXPECT_EQ(rda.StatusCode(), 5001);
  EXPECT_EQ(rda.StatusText(), "Write failed.");
  EXPECT_TRUE(kernel.Writes.empty());
  kernel.SeekFails = false;
  kernel.WriteFails = [](int64_t) { return true; };
  rda.WriteBuffer();
  EXPECT_EQ(rda.StatusCode(), 5001);

  TKLDiskAccess closed(nullptr, &kernel);
  closed.SetLogicalDrive('E');
  closed.SetClusterCount(1);
  closed.WriteBuffer();
  EXPECT_EQ(closed.StatusCode(), 5001);
  closed.SetClusterCount(0);
  closed.WriteBuffer();
  EXPECT_EQ(closed.StatusCode(), 30);
  EXPECT_EQ(closed.StatusText(), "No cluster or sector count provided.");
}

TEST_F(KLDiskTest, PositionIsBoundedByTheClusterTotalAndThe32BitSectorNumber) {
  TKLDiskAccess rda(nullptr, &kernel);
  Ready(rda);
  rda.SetStartCluster(2048);
  EXPECT_EQ(rda.StatusCode(), 9999);
  rda.SetStartCluster(2049);
  EXPECT_EQ(rda.StatusCode(), 10);
  EXPECT_EQ(rda.StatusText(), "Cluster number too high.");
  EXPECT_EQ(rda.StartCluster(), 2048);
  rda.SetStartCluster(-1);
  EXPECT_EQ(rda.StatusCode(), 10);
  EXPECT_EQ(rda.StartCluster(), 2048);

  rda.Geometry.TotalClusters = int64_t{1} << 40;
  rda.SetStartCluster(0x7FFFFFFF);  // sector 0xFFFFFFFE: the last one that can be named
  EXPECT_EQ(rda.StatusCode(), 9999);
  rda.SetStartCluster(0x80000000);  // sector 2^32 would wrap to sector 0
  EXPECT_EQ(rda.StatusCode(), 10);
  EXPECT_EQ(rda.StartCluster(), 0x7FFFFFFF);

  // The geometry is public: a position accepted before it changed must still not wrap.
  rda.Geometry.SectorsPerCluster = 4;
  rda.Geometry.BytesPerCluster = 2048;
  rda.WriteBuffer();
  EXPECT_EQ(rda.StatusCode(), 10);
  EXPECT_TRUE(kernel.Writes.empty());
}

TEST_F(KLDiskTest, WriteNeverReadsPastTheBuffer) {
  TKLDiskAccess rda(nullptr, &kernel);
  Ready(rda, 1);
  rda.Geometry.SectorsPerCluster = 8;  // 4 KB clusters, but the buffer holds 1 KB
  rda.WriteBuffer();
  EXPECT_EQ(rda.StatusCode(), 5001);
  rda.WriteSectors(0, 3);
  EXPECT_EQ(rda.StatusCode(), 20);
  EXPECT_TRUE(kernel.Writes.empty());
}

TEST_F(KLDiskTest, BufferRulesAndRefillOnEveryPosition) {
  TKLDiskAccess rda(nullptr, &kernel);
  kernel.SectorsPerCluster = 2;
  rda.SetLogicalDrive('E');
  rda.SetBuffer("x");
  EXPECT_EQ(rda.StatusCode(), 21);
  EXPECT_EQ(rda.StatusText(), "Buffer size not set first.");
  rda.SetClusterCount(1);
  EXPECT_EQ(rda.StatusCode(), 9999);
  ASSERT_EQ(rda.BufferText().size(), 1024u);
  EXPECT_TRUE(AllZero(rda.Buffer(), 1024));

  rda.SetBuffer(std::string(1023, 'x'));
  EXPECT_EQ(rda.StatusCode(), 20);
  EXPECT_EQ(rda.StatusText(), "Buffer size mismatch.");
  EXPECT_TRUE(AllZero(rda.Buffer(), 1024));

  rda.SetBuffer(std::string(1024, 'x'));
  EXPECT_EQ(rda.StatusCode(), 9999);
  EXPECT_EQ(rda.Buffer().Memory()[1023], 'x');
  EXPECT_EQ(rda.BufferText()[0], 'x');
  rda.SetStartCluster(4);
  EXPECT_TRUE(AllZero(rda.Buffer(), 1024));
  EXPECT_EQ(rda.BufferText(), std::string(1024, '\0'));
  // A refused position keeps the content.
  rda.SetBuffer(std::string(1024, 'y'));
  rda.SetStartCluster(5000);
  EXPECT_EQ(rda.Buffer().Memory()[0], 'y');
}

TEST_F(KLDiskTest, WriteSectorsWritesTheBuffersFirstSectors) {
  TKLDiskAccess rda(nullptr, &kernel);
  Ready(rda);
  rda.WriteSectors(7, 1);
  EXPECT_EQ(rda.StatusCode(), 9999);
  ASSERT_EQ(kernel.Writes.size(), 1u);
  EXPECT_EQ(kernel.Writes[0], (std::pair<int64_t, uint32_t>{3584, 512}));
  rda.WriteSectors(int64_t{1} << 32, 1);
  EXPECT_EQ(rda.StatusCode(), 10);
  rda.WriteSectors(-1, 1);
  EXPECT_EQ(rda.StatusCode(), 10);
  EXPECT_EQ(kernel.Writes.size(), 1u);
}

// ---- the read path: what the volume holds, and never a write

TEST_F(KLDiskTest, ReadSectorsBringsTheVolumesBytesAndChangesNothing) {
  kernel.Volume.assign(8192, 0xA5);
  kernel.Volume[3584] = 0x01;
  TKLDiskAccess rda(nullptr, &kernel);
  Ready(rda);
  const std::vector<std::string> logAfterOpen = kernel.Log;
  rda.ReadSectors(7, 2);
  EXPECT_EQ(rda.StatusCode(), dsSuccess);
  ASSERT_EQ(rda.ReadData().size(), 1024u);
  EXPECT_EQ(rda.ReadData()[0], 0x01);
  EXPECT_EQ(rda.ReadData()[1023], 0xA5);
  EXPECT_EQ(kernel.Reads, (std::vector<std::pair<int64_t, uint32_t>>{{3584, 1024}}));
  EXPECT_TRUE(kernel.Writes.empty());
  EXPECT_EQ(kernel.Log, logAfterOpen);  // no lock, no ioctl, no second handle
  EXPECT_TRUE(AllZero(rda.Buffer(), 1024));
  EXPECT_EQ(kernel.Volume[3584], 0x01);
}

TEST_F(KLDiskTest, AReadThatFailsOrComesUpShortLeavesNothingToTrust) {
  kernel.Volume.assign(8192, 0);
  TKLDiskAccess rda(nullptr, &kernel);
  Ready(rda);
  rda.ReadSectors(15, 2);  // the second sector lies past the end
  EXPECT_EQ(rda.StatusCode(), dsReadFailed);
  EXPECT_EQ(rda.StatusText(), "Read failed.");
  EXPECT_TRUE(rda.ReadData().empty());
  kernel.FailureError = 23;  // ERROR_CRC
  kernel.ReadFails = [](int64_t offset) { return offset == 1024; };
  rda.ReadSectors(2, 1);
  EXPECT_EQ(rda.StatusCode(), dsReadFailed);
  EXPECT_EQ(rda.LastSystemError(), 23u);
  rda.ReadSectors(0, 1);
  EXPECT_EQ(rda.StatusCode(), dsSuccess);
  EXPECT_EQ(rda.LastSystemError(), 0u);
  rda.ReadSectors(int64_t{1} << 32, 1);
  EXPECT_EQ(rda.StatusCode(), dsClusterTooHigh);
  rda.ReadSectors(0, 0);
  EXPECT_EQ(rda.StatusCode(), dsBufferSizeMismatch);

  TKLDiskAccess closed(nullptr, &kernel);
  closed.SetLogicalDrive('E');
  closed.ReadSectors(0, 1);
  EXPECT_EQ(closed.StatusCode(), dsReadFailed);
  EXPECT_TRUE(kernel.Writes.empty());
}

class KLDisk9xTest : public KLDiskTest {
protected:
  void SetUp() override {
    KLDiskTest::SetUp();
    kernel.Version = Win98();
  }
  static bool Carry(TVWin32Registers& r) {
    r.Flags |= VWin32CarryFlag;
    return true;
  }
};

TEST_F(KLDisk9xTest, OpenCallsNothingAndAWriteIsLockedWrittenAndUnlockedWithFat32Calls) {
  TKLDiskAccess rda(nullptr, &kernel);
  kernel.SectorsPerCluster = 2;
  rda.SetLogicalDrive('E');
  rda.SetClusterCount(1);
  kernel.Log.clear();
  EXPECT_TRUE(rda.OpenDrive());
  EXPECT_TRUE(kernel.Log.empty());
  rda.SetStartCluster(5);
  const std::string pattern(1024, '\x5A');
  rda.SetBuffer(pattern);
  ASSERT_EQ(rda.StatusCode(), 9999);
  rda.WriteBuffer();
  EXPECT_EQ(rda.StatusCode(), 9999);
  EXPECT_EQ(kernel.Log, std::vector<std::string>{"CreateFile \\\\.\\VWIN32 0 0 0 67108864"});
  ASSERT_EQ(kernel.VWin32Calls.size(), 4u);
  // First a one-sector read shows that the FAT32 forms really transfer.
  const auto& probe = kernel.VWin32Calls[0];
  EXPECT_EQ(probe.Code, 6u);
  EXPECT_EQ(probe.In.EAX, 0x7305u);
  EXPECT_EQ(probe.In.ESI, 0u);
  EXPECT_EQ(probe.Packet.StartSector, 0u);
  EXPECT_EQ(probe.Packet.Sectors, 1);
  const auto& lock = kernel.VWin32Calls[1];
  EXPECT_EQ(lock.Code, 1u);
  EXPECT_EQ(lock.In.EAX, 0x440Du);
  EXPECT_EQ(lock.In.EBX, 0x105u);
  EXPECT_EQ(lock.In.ECX, 0x484Au);
  EXPECT_EQ(lock.In.EDX, 1u);
  const auto& write = kernel.VWin32Calls[2];
  EXPECT_EQ(write.Code, 6u);
  EXPECT_EQ(write.In.EAX, 0x7305u);
  EXPECT_EQ(write.In.ECX, 0xFFFFFFFFu);
  EXPECT_EQ(write.In.EDX, 5u);
  EXPECT_EQ(write.In.ESI, 1u);
  EXPECT_EQ(write.Packet.StartSector, 10u);
  EXPECT_EQ(write.Packet.Sectors, 2);
  // The data travels in memory that the DOS services can reach, as a copy of the buffer.
  EXPECT_EQ(kernel.At<uint8_t>(write.Packet.Buffer), kernel.Transfer.data());
  EXPECT_EQ(std::string(kernel.Transfer.begin(), kernel.Transfer.end()), pattern);
  const auto& unlock = kernel.VWin32Calls[3];
  EXPECT_EQ(unlock.Code, 1u);
  EXPECT_EQ(unlock.In.EAX, 0x440Du);
  EXPECT_EQ(unlock.In.EBX, 5u);
  EXPECT_EQ(unlock.In.ECX, 0x486Au);
  EXPECT_EQ(kernel.Writes, (std::vector<std::pair<int64_t, uint32_t>>{{5120, 1024}}));

  // The device stays open for every component of the process.
  TKLDiskAccess other(nullptr, &kernel);
  other.SetLogicalDrive('E');
  other.SetClusterCount(1);
  other.OpenDrive();
  other.WriteBuffer();
  EXPECT_EQ(std::count_if(kernel.Log.begin(), kernel.Log.end(),
                          [](const std::string& s) { return s.rfind("CreateFile", 0) == 0; }),
            1);
}

TEST_F(KLDisk9xTest, FailedFat32FormsFallBackToTheOlderServices) {
  kernel.VWin32Answer = [](uint32_t code, TVWin32Registers& r) {
    if (r.ECX == 0x484A || r.ECX == 0x486A) return Carry(r);
    return code != 6;  // the FAT32 write is not offered
  };
  TKLDiskAccess rda(nullptr, &kernel);
  Ready(rda, 1);
  rda.WriteBuffer();
  EXPECT_EQ(rda.StatusCode(), 9999);
  std::vector<uint32_t> order;
  for (const auto& c : kernel.VWin32Calls) order.push_back(c.Code == 1 ? c.In.ECX : c.Code);
  EXPECT_EQ(order, (std::vector<uint32_t>{6, 0x484A, 0x084A, 6, 3, 0x486A, 0x086A}));
  const auto& int26 = kernel.VWin32Calls[4];
  EXPECT_EQ(int26.In.EAX, 4u);
  EXPECT_EQ(int26.In.ECX, 0xFFFFFFFFu);
  EXPECT_EQ(int26.In.EDX, 5u);  // left as the FAT32 attempt set it
  EXPECT_EQ(int26.Packet.StartSector, 2u);
  EXPECT_EQ(kernel.Writes.size(), 1u);
}

TEST_F(KLDisk9xTest, WithoutFat32CallsOnlyTheOlderServicesAreUsed) {
  kernel.Version = {klk::PlatformWin32Windows, 0, ""};
  TKLDiskAccess rda(nullptr, &kernel);
  Ready(rda);
  rda.WriteBuffer();
  std::vector<uint32_t> order;
  for (const auto& c : kernel.VWin32Calls) order.push_back(c.Code == 1 ? c.In.ECX : c.Code);
  EXPECT_EQ(order, (std::vector<uint32_t>{0x084A, 3, 0x086A}));
  EXPECT_EQ(kernel.VWin32Calls[1].In.EDX, 0u);
}

TEST_F(KLDisk9xTest, LockFailureWritesNothingAndDoesNotUnlock) {
  kernel.VWin32Answer = [](uint32_t, TVWin32Registers& r) {
    return r.ECX == 0x084A || r.ECX == 0x484A ? Carry(r) : true;
  };
  TKLDiskAccess rda(nullptr, &kernel);
  Ready(rda);
  rda.WriteBuffer();
  EXPECT_EQ(rda.StatusCode(), 5001);
  EXPECT_FALSE(rda.Locked());
  ASSERT_EQ(kernel.VWin32Calls.size(), 3u);  // the read that checks the FAT32 forms, two locks
  EXPECT_TRUE(kernel.Writes.empty());
}

TEST_F(KLDisk9xTest, FailedWriteIsStillUnlocked) {
  kernel.VWin32Answer = [](uint32_t code, TVWin32Registers& r) { return code == 1 ? true : Carry(r); };
  TKLDiskAccess rda(nullptr, &kernel);
  Ready(rda);
  rda.WriteBuffer();
  EXPECT_EQ(rda.StatusCode(), 5001);
  ASSERT_EQ(kernel.VWin32Calls.size(), 5u);
  EXPECT_EQ(kernel.VWin32Calls[4].In.ECX, 0x486Au);
  EXPECT_TRUE(kernel.Writes.empty());
}

TEST_F(KLDisk9xTest, Fat32FormsThatMoveNothingAreNotTrusted) {
  kernel.Fat32Transfers = false;  // as Wine answers them
  kernel.Volume.assign(4096, 0xA5);
  TKLDiskAccess rda(nullptr, &kernel);
  Ready(rda, 1);
  EXPECT_TRUE(rda.UseFat32Calls());
  rda.WriteBuffer();
  rda.SetStartCluster(2);
  rda.WriteBuffer();
  EXPECT_EQ(rda.StatusCode(), 9999);
  EXPECT_FALSE(rda.UseFat32Calls());
  std::vector<uint32_t> order;
  for (const auto& c : kernel.VWin32Calls) order.push_back(c.Code == 1 ? c.In.ECX : c.Code);
  EXPECT_EQ(order, (std::vector<uint32_t>{6, 0x084A, 3, 0x086A, 0x084A, 3, 0x086A}));
  EXPECT_EQ(kernel.Writes, (std::vector<std::pair<int64_t, uint32_t>>{{1024, 1024}, {2048, 1024}}));
}

TEST_F(KLDiskTest, KernelHandlesCloseOnceThroughTheirKernel) {
  {
    TKLKernelHandle owned(kernel, kernel.CreateFileA("\\\\.\\E:", 0, 0, 0, 0));
    EXPECT_TRUE(owned.Valid());
    EXPECT_EQ(owned.Get(), FakeDiskKernel::VolumeHandle);
    EXPECT_EQ(kernel.OpenHandles, 1);
  }
  EXPECT_EQ(kernel.OpenHandles, 0);
  TKLKernelHandle held(kernel, kernel.CreateFileA("\\\\.\\E:", 0, 0, 0, 0));
  held.Reset(kernel, kernel.CreateFileA("\\\\.\\VWIN32", 0, 0, 0, 0));
  EXPECT_EQ(kernel.OpenHandles, 1);
  EXPECT_TRUE(held.Close());
  EXPECT_TRUE(held.Close());
  EXPECT_EQ(kernel.OpenHandles, 0);
  EXPECT_EQ(std::count(kernel.Log.begin(), kernel.Log.end(), "CloseHandle 512"), 1);
  EXPECT_EQ(held.Get(), KLInvalidHandle);
  // Neither 0 nor the invalid value is a handle to close.
  TKLKernelHandle none(kernel, 0), invalid(kernel, KLInvalidHandle);
  EXPECT_FALSE(none.Valid() || invalid.Valid());
  TKLKernelHandle kept(kernel, kernel.CreateFileA("\\\\.\\E:", 0, 0, 0, 0));
  EXPECT_EQ(kept.Release(), FakeDiskKernel::VolumeHandle);
  EXPECT_EQ(kernel.OpenHandles, 1);
}

TEST_F(KLDiskTest, TheSystemsErrorStandsBesideTheStatusUntilTheNextOperation) {
  kernel.Volume.assign(8192, 0xA5);
  TKLDiskAccess rda(nullptr, &kernel);
  kernel.OpenFails = true;
  rda.SetLogicalDrive('E');
  EXPECT_FALSE(rda.OpenDrive());
  EXPECT_EQ(rda.LastSystemError(), 21u);
  kernel.OpenFails = false;
  Ready(rda);
  EXPECT_EQ(rda.LastSystemError(), 0u);
  kernel.FailureError = 19;  // ERROR_WRITE_PROTECT
  kernel.WriteFails = [](int64_t) { return true; };
  rda.WriteBuffer();
  EXPECT_EQ(rda.StatusCode(), dsWriteFailed);
  EXPECT_EQ(rda.LastSystemError(), 19u);
  kernel.WriteFails = [](int64_t) { return false; };
  rda.WriteSectors(0, 1);
  EXPECT_EQ(rda.StatusCode(), dsSuccess);
  EXPECT_EQ(rda.LastSystemError(), 0u);
}

TEST_F(KLDisk9xTest, ADosErrorIsKeptAsTheSystemsError) {
  kernel.Version = {klk::PlatformWin32Windows, 0, ""};
  kernel.VWin32Answer = [](uint32_t code, TVWin32Registers& r) {
    if (code != klk::VWin32DiocDosInt26) return true;
    r.EAX = 0x0013;  // write-protected disk
    return Carry(r);
  };
  TKLDiskAccess rda(nullptr, &kernel);
  Ready(rda);
  rda.WriteBuffer();
  EXPECT_EQ(rda.StatusCode(), dsWriteFailed);
  EXPECT_EQ(rda.LastSystemError(), 19u);
}

TEST_F(KLDisk9xTest, TheTransferProbeReadsIntoMemoryTheDosServicesCanReach) {
  kernel.Volume.assign(8192, 0x11);
  TKLDiskAccess rda(nullptr, &kernel);
  Ready(rda);
  rda.WriteBuffer();
  const auto& probe = kernel.VWin32Calls.at(0);
  ASSERT_EQ(probe.In.EAX, klk::DosExtAbsDiskReadWrite);
  ASSERT_EQ(probe.In.ESI, 0u);
  ASSERT_FALSE(kernel.Handed.empty());
  EXPECT_EQ(kernel.At<uint8_t>(probe.Packet.Buffer), kernel.Handed.front());
  EXPECT_TRUE(rda.UseFat32Calls());
  EXPECT_EQ(rda.StatusCode(), dsSuccess);
}

TEST_F(KLDisk9xTest, ReadsUseTheFat32ReadWithoutALockAndFallBackToInt25h) {
  kernel.Volume.assign(8192, 0x3C);
  TKLDiskAccess rda(nullptr, &kernel);
  Ready(rda);
  rda.ReadSectors(4, 2);
  EXPECT_EQ(rda.StatusCode(), dsSuccess);
  EXPECT_EQ(rda.ReadData(), std::vector<uint8_t>(1024, 0x3C));
  ASSERT_EQ(kernel.VWin32Calls.size(), 2u);  // the transfer probe, then the read itself
  const auto& read = kernel.VWin32Calls[1];
  EXPECT_EQ(read.Code, klk::VWin32DiocDosDriveInfo);
  EXPECT_EQ(read.In.EAX, 0x7305u);
  EXPECT_EQ(read.In.ESI, 0u);
  EXPECT_EQ(read.In.EDX, 5u);
  EXPECT_EQ(read.Packet.StartSector, 4u);
  EXPECT_EQ(read.Packet.Sectors, 2);
  EXPECT_EQ(kernel.At<uint8_t>(read.Packet.Buffer), kernel.Handed.back());

  // Where the system refuses the FAT32 form, INT 25h reads.
  kernel.VWin32Calls.clear();
  kernel.VWin32Answer = [](uint32_t code, TVWin32Registers& r) { return code == 6 ? Carry(r) : true; };
  rda.ReadSectors(6, 2);
  EXPECT_EQ(rda.StatusCode(), dsSuccess);
  ASSERT_EQ(kernel.VWin32Calls.size(), 2u);
  const auto& int25 = kernel.VWin32Calls[1];
  EXPECT_EQ(int25.Code, klk::VWin32DiocDosInt25);
  EXPECT_EQ(int25.In.EAX, 4u);
  EXPECT_EQ(int25.In.ECX, 0xFFFFFFFFu);
  EXPECT_EQ(int25.Packet.StartSector, 6u);
  EXPECT_EQ(int25.Packet.Sectors, 2);
  EXPECT_TRUE(kernel.Writes.empty());
  for (const auto& c : kernel.VWin32Calls) EXPECT_NE(c.Code, klk::VWin32DiocDosIoctl);
}

TEST_F(KLDisk9xTest, WithoutFat32CallsReadsUseInt25hAndAFailedSectorIsAFailedRead) {
  kernel.Version = {klk::PlatformWin32Windows, 0, ""};
  kernel.Volume.assign(4096, 0);
  TKLDiskAccess rda(nullptr, &kernel);
  Ready(rda);
  rda.ReadSectors(7, 2);  // the second sector lies past the end
  EXPECT_EQ(rda.StatusCode(), dsReadFailed);
  EXPECT_EQ(rda.LastSystemError(), 8u);
  EXPECT_TRUE(rda.ReadData().empty());
  rda.ReadSectors(6, 2);
  EXPECT_EQ(rda.StatusCode(), dsSuccess);
  std::vector<uint32_t> codes;
  for (const auto& c : kernel.VWin32Calls) codes.push_back(c.Code);
  EXPECT_EQ(codes, (std::vector<uint32_t>{2, 2}));
  EXPECT_TRUE(kernel.Writes.empty());
}

TEST_F(KLDisk9xTest, AReadThatMovesNothingDoesNotLookLikeAZeroedCard) {
  kernel.Volume.assign(8192, 0);
  kernel.DosReadsTransfer = false;
  TKLDiskAccess rda(nullptr, &kernel);
  Ready(rda);
  rda.WriteBuffer();  // leaves zeros in the memory the DOS services reach
  rda.ReadSectors(0, 2);
  ASSERT_EQ(rda.ReadData().size(), 1024u);
  EXPECT_FALSE(std::all_of(rda.ReadData().begin(), rda.ReadData().end(), [](uint8_t b) { return b == 0; }));
}

// ---- runs of zeros and what one transfer carries

TEST_F(KLDiskTest, WriteZerosWritesFromOnePageAlignedBlockKeptForTheNextRun) {
  kernel.Volume.assign(4 << 20, 0xA5);
  TKLDiskAccess rda(nullptr, &kernel);
  Ready(rda);
  rda.SetBuffer(std::string(1024, 'y'));       // the transfer buffer plays no part
  ASSERT_EQ(rda.MaxTransferSectors(), 32768);  // 16 MiB of 512-byte sectors
  rda.WriteZeros(2048, 2048);
  EXPECT_EQ(rda.StatusCode(), dsSuccess);
  const void* block = kernel.LastWriteData;
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 4096, 0u);
  rda.WriteZeros(0, 1);
  rda.WriteZeros(4096, 2048);
  EXPECT_EQ(kernel.LastWriteData, block);
  EXPECT_EQ(kernel.Writes,
            (std::vector<std::pair<int64_t, uint32_t>>{{1 << 20, 1 << 20}, {0, 512}, {2 << 20, 1 << 20}}));
  EXPECT_TRUE(std::all_of(kernel.Volume.begin(), kernel.Volume.begin() + 512, [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(kernel.Volume[512], 0xA5);
  EXPECT_TRUE(std::all_of(kernel.Volume.begin() + (1 << 20), kernel.Volume.begin() + (3 << 20),
                          [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(kernel.Volume[3 << 20], 0xA5);
  EXPECT_EQ(rda.Buffer().Memory()[0], 'y');

  rda.WriteZeros(0, 32769);
  EXPECT_EQ(rda.StatusCode(), dsBufferSizeMismatch);
  rda.WriteZeros(int64_t{1} << 32, 1);
  EXPECT_EQ(rda.StatusCode(), dsClusterTooHigh);
  rda.CloseDrive();
  rda.WriteZeros(0, 1);
  EXPECT_EQ(rda.StatusCode(), dsWriteFailed);
  EXPECT_EQ(kernel.Writes.size(), 3u);
}

// One DOS absolute transfer carries 64 KiB: 128 sectors of 512 bytes, 16 of 4096. One sector
// more is refused before anything reaches VWIN32, for writes and reads alike.
TEST_F(KLDisk9xTest, ATransferCarriesAtMostOneDosTransferAndOneSectorMoreIsRefused) {
  for (uint32_t bps : {512u, 4096u}) {
    SCOPED_TRACE(bps);
    kernel.BytesPerSector = bps;
    kernel.Volume.assign(256 * 1024, 0xA5);
    kernel.VWin32Calls.clear();
    TKLDiskAccess rda(nullptr, &kernel);
    Ready(rda);
    const int32_t most = static_cast<int32_t>(65536 / bps);
    ASSERT_EQ(rda.MaxTransferSectors(), most);
    rda.WriteZeros(most, most);
    EXPECT_EQ(rda.StatusCode(), dsSuccess);
    rda.ReadSectors(most, most);
    EXPECT_EQ(rda.StatusCode(), dsSuccess);
    EXPECT_EQ(rda.ReadData(), std::vector<uint8_t>(65536, 0));
    const size_t calls = kernel.VWin32Calls.size();
    EXPECT_EQ(std::count_if(kernel.VWin32Calls.begin(), kernel.VWin32Calls.end(),
                            [&](const auto& c) { return c.Packet.Sectors == most; }),
              2);
    rda.WriteZeros(0, most + 1);
    EXPECT_EQ(rda.StatusCode(), dsBufferSizeMismatch);
    rda.ReadSectors(0, most + 1);
    EXPECT_EQ(rda.StatusCode(), dsBufferSizeMismatch);
    EXPECT_TRUE(rda.ReadData().empty());
    rda.SetClusterCount(most + 1);
    rda.WriteSectors(0, most + 1);
    EXPECT_EQ(rda.StatusCode(), dsBufferSizeMismatch);
    EXPECT_EQ(kernel.VWin32Calls.size(), calls);
    EXPECT_EQ(kernel.Writes, (std::vector<std::pair<int64_t, uint32_t>>{{65536, 65536}}));
    kernel.Writes.clear();
  }
}
