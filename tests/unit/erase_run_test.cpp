#include <gtest/gtest.h>

#include <cstring>

#include <algorithm>
#include <functional>
#include <stdexcept>

#include "unit/fake_disk_kernel.h"
#include "wizard/EraseReport.h"
#include "wizard/EraseRun.h"

using namespace orv;
using orv::test::FakeDiskKernel;

namespace {

using Writes = std::vector<std::pair<int64_t, uint32_t>>;

class EraseRunTest : public ::testing::Test {
protected:
  // A card of 4 KB clusters whose volume is exactly its cluster range long.
  void SetUp() override {
    kernel.TotalClusters = 15;
    kernel.Volume.assign(16 * 4096, 0xA5);
  }

  // Pumps and bar positions of the writing phase; those of the read-back apart.
  TEraseOutcome Run(int sizeIndex = 0) {
    TEraseHooks hooks;
    hooks.ProcessMessages = [this] {
      ++(verifying ? verifyPumps : pumps);
      if (onPump) onPump();
    };
    hooks.SetProgressPosition = [this](int32_t p) { (verifying ? verifyProgress : progress).push_back(p); };
    hooks.PhaseChanged = [this](TErasePhase p) {
      phases.push_back(p);
      verifying = p == TErasePhase::Verifying;
    };
    hooks.BeforeVerify = beforeVerify;
    hooks.RunBytes = runBytes;
    verifying = false;
    return EraseCard(rda, 'e', sizeIndex, cancel, hooks);
  }

  bool Zero(size_t from, size_t to) const {
    return std::all_of(kernel.Volume.begin() + from, kernel.Volume.begin() + to, [](uint8_t b) { return b == 0; });
  }
  bool Pattern(size_t from, size_t to) const {
    return std::all_of(kernel.Volume.begin() + from, kernel.Volume.begin() + to, [](uint8_t b) { return b == 0xA5; });
  }

  FakeDiskKernel kernel;
  TKLDiskAccess rda{nullptr, &kernel};
  int64_t runBytes = EraseRunBytes;  // one cluster: the run as it was, a write per cluster
  bool cancel = true;                // the run clears it
  int pumps = 0;
  std::function<void()> onPump;
  std::vector<int32_t> progress;
  bool verifying = false;
  int verifyPumps = 0;
  std::vector<int32_t> verifyProgress;
  std::vector<TErasePhase> phases;
  std::function<void()> beforeVerify;
};

Writes Clusters(int64_t first, int64_t last, uint32_t size) {
  Writes w;
  for (int64_t k = first; k <= last; ++k) w.emplace_back(k * size, size);
  return w;
}

constexpr uint32_t MiB = 1 << 20;
constexpr int64_t ClustersPerMiB = MiB / 4096;

}  // namespace

TEST(EraseRunGeometry, AssumedGeometryMakesTheNominalSize) {
  ASSERT_EQ(CardSizeCount, 14);
  EXPECT_EQ(CardSizesMB[0], 8);
  EXPECT_EQ(CardSizesMB[12], 4813);
  EXPECT_EQ(CardSizesMB[13], 8192);
  TDiskGeometry g;
  g.FreeClusters = 7;
  g.FreeBytes = 9;
  SetAssumedGeometry(g, CardSizesMB[0]);
  EXPECT_EQ(g.BytesPerCluster, 1024);
  EXPECT_EQ(g.BytesPerSector, 512);
  EXPECT_EQ(g.SectorsPerCluster, 2);
  EXPECT_EQ(g.TotalClusters, 8192);
  EXPECT_EQ(g.TotalBytes, 8388608);
  EXPECT_EQ(g.FreeClusters, 7);
  EXPECT_EQ(g.FreeBytes, 9);
  SetAssumedGeometry(g, CardSizesMB[12]);
  EXPECT_EQ(g.TotalClusters, 4928512);
  EXPECT_EQ(g.TotalBytes, 4928512LL * 1024);
}

TEST(EraseRunProgress, RoundsToNearestWithTiesToEven) {
  std::vector<int32_t> shown;
  for (int64_t k = 0; k <= 8; ++k) {
    int32_t p = -1;
    ASSERT_TRUE(EraseProgress(k, 8, p));
    shown.push_back(p);
  }
  EXPECT_EQ(shown, (std::vector<int32_t>{0, 12, 25, 38, 50, 62, 75, 88, 100}));
  int32_t p = -1;
  EXPECT_FALSE(EraseProgress(0, 0, p));
  EXPECT_EQ(p, -1);
  ASSERT_TRUE(EraseProgress(4928512 / 2, 4928512, p));
  EXPECT_EQ(p, 50);
}

TEST_F(EraseRunTest, ReadableGeometryZeroesEveryBlockOfTheRangeInOrder) {
  TEraseOutcome out = Run(13);  // the size list is ignored for such a card
  EXPECT_EQ(kernel.Writes, Clusters(0, 0, 16 * 4096)) << "the whole range in one run";
  EXPECT_TRUE(Zero(0, kernel.Volume.size()));
  EXPECT_EQ(kernel.Volume.size(), 16u * 4096);
  EXPECT_FALSE(cancel);
  EXPECT_EQ(pumps, 2);  // once before the first run, then once per run
  EXPECT_EQ(progress.front(), 0);
  EXPECT_EQ(progress.back(), 100);
  EXPECT_EQ(progress.size(), 2u);
  EXPECT_TRUE(out.VolumeOpened);
  EXPECT_TRUE(out.VolumeLocked);
  EXPECT_FALSE(out.Cancelled);
  EXPECT_EQ(out.BytesWritten, 16 * 4096);
  EXPECT_EQ(out.BytesNotWritten, 0);
  EXPECT_EQ(out.BytesToCover, 16 * 4096);
  EXPECT_TRUE(out.EndReached);
  EXPECT_TRUE(out.Complete());
  EXPECT_FALSE(rda.Opened());
  EXPECT_EQ(kernel.OpenHandles, 0);
  EXPECT_EQ(kernel.Log.back(), "CloseHandle 256");
}

TEST_F(EraseRunTest, TheRestOfALongerVolumeIsZeroedToItsLastWholeSector) {
  const size_t length = 16 * 4096 + 2 * 4096 + 3 * 512 + 100;
  kernel.Volume.assign(length, 0xA5);
  TEraseOutcome out = Run();
  // One run across the range's end, to the volume's last whole sector.
  EXPECT_EQ(kernel.Writes, (Writes{{0, 18 * 4096 + 3 * 512}}));
  EXPECT_TRUE(Zero(0, length - 100));
  EXPECT_TRUE(Pattern(length - 100, length));
  EXPECT_EQ(kernel.Volume.size(), length);
  EXPECT_EQ(out.VolumeLength, static_cast<int64_t>(length));
  EXPECT_EQ(out.BytesWritten, static_cast<int64_t>(length - 100));
  EXPECT_EQ(progress.back(), 100);
}

TEST_F(EraseRunTest, NothingIsWrittenPastTheEndOfAVolumeShorterThanItsRange) {
  kernel.Volume.assign(10 * 4096 + 1024, 0xA5);
  TEraseOutcome out = Run();
  EXPECT_EQ(kernel.Writes, (Writes{{0, 10 * 4096 + 1024}}));
  EXPECT_EQ(kernel.Volume.size(), 10u * 4096 + 1024);
  EXPECT_TRUE(Zero(0, kernel.Volume.size()));
  EXPECT_EQ(out.BytesNotWritten, 0);
  EXPECT_EQ(progress.back(), 100) << "the bar still walks the whole range";
}

TEST_F(EraseRunTest, UnreadableGeometryTakesTheChosenSize) {
  kernel.AnswersGeometry = false;
  kernel.LengthIoctl = kernel.FileSize = false;
  kernel.Volume.clear();
  TEraseOutcome out = Run(0);
  EXPECT_EQ(rda.Geometry.TotalClusters, 8192);
  // Eight runs of 1024 assumed clusters, then block 8192 alone.
  Writes expected = Clusters(0, 7, MiB);
  expected.emplace_back(8388608, 1024);
  EXPECT_EQ(kernel.Writes, expected);
  EXPECT_EQ(kernel.Volume.size(), 8389632u);
  EXPECT_TRUE(Zero(0, kernel.Volume.size()));
  EXPECT_EQ(out.VolumeLength, -1);
  EXPECT_EQ(out.BytesWritten, 8389632);
}

TEST_F(EraseRunTest, FailuresInsideTheCardAreCountedButTheEndOfASmallerCardIsNot) {
  kernel.AnswersGeometry = false;
  kernel.LengthIoctl = kernel.FileSize = false;
  kernel.WriteFails = [](int64_t offset) { return offset == 2048 || offset >= 4 << 20; };
  TEraseOutcome out = Run(0);
  EXPECT_EQ(out.BytesNotWritten, 1024);
  EXPECT_EQ(out.BytesWritten, (4 << 20) - 1024);

  // With the geometry read from the card every failure counts.
  TKLDiskAccess other(nullptr, &kernel);
  kernel.AnswersGeometry = true;
  kernel.WriteFails = [](int64_t offset) { return offset >= 8 * 4096; };
  bool cancel2 = false;
  TEraseOutcome out2 = EraseCard(other, 'E', 0, cancel2, {});
  EXPECT_EQ(out2.BytesNotWritten, 8 * 4096);
}

TEST_F(EraseRunTest, EmptyRangeWritesBlockZeroOnceAndLeavesTheBar) {
  kernel.TotalClusters = 0;
  kernel.Volume.assign(4096, 0xA5);
  Run();
  EXPECT_EQ(kernel.Writes, Clusters(0, 0, 4096));
  EXPECT_TRUE(progress.empty());
  EXPECT_EQ(pumps, 2);
}

TEST_F(EraseRunTest, EightBlockRangeShowsProgressRoundedTiesToEven) {
  kernel.TotalClusters = 8;
  kernel.Volume.assign(9 * 4096, 0xA5);
  runBytes = 4096;
  Run();
  EXPECT_EQ(progress, (std::vector<int32_t>{0, 12, 25, 38, 50, 62, 75, 88, 100}));
}

TEST_F(EraseRunTest, CancelConfirmedInThePassOfRunKWritesNothingAfterK) {
  // A range of sixteen runs and a tail of one run and two clusters that must stay untouched too.
  kernel.TotalClusters = 16 * ClustersPerMiB - 1;
  const size_t length = 17 * MiB + 8192;
  kernel.Volume.assign(length, 0xA5);
  int64_t answeredAt = -1;  // the position while the answer is processed
  onPump = [&] {
    if (kernel.Writes.size() != 6) return;  // the question answered Yes after run 5
    cancel = true;
    answeredAt = rda.StartCluster();
  };
  TEraseOutcome out = Run();
  EXPECT_EQ(answeredAt, 6 * ClustersPerMiB - 1) << "the last block written";
  EXPECT_EQ(kernel.Writes, Clusters(0, 5, MiB));
  EXPECT_TRUE(Zero(0, 6 * MiB));
  EXPECT_TRUE(Pattern(6 * MiB, kernel.Volume.size()));
  EXPECT_EQ(rda.StartCluster(), 6 * ClustersPerMiB);
  EXPECT_TRUE(out.Cancelled);
  EXPECT_FALSE(rda.Opened());
  EXPECT_EQ(kernel.Log.back(), "CloseHandle 256");

  // Cancel while the rest of the volume is being zeroed.
  kernel.Volume.assign(length, 0xA5);
  kernel.Writes.clear();
  onPump = [this] {
    if (kernel.Writes.size() == 17) cancel = true;
  };
  out = Run();
  EXPECT_EQ(kernel.Writes, Clusters(0, 16, MiB));
  EXPECT_TRUE(Pattern(17 * MiB, kernel.Volume.size()));
  EXPECT_TRUE(out.Cancelled);
}

TEST_F(EraseRunTest, UnopenableOrBusyVolumeEndsAtOnceWithNothingWritten) {
  kernel.OpenFails = true;
  TEraseOutcome out = Run();
  EXPECT_FALSE(out.VolumeOpened);
  EXPECT_FALSE(out.VolumeInUse);
  EXPECT_TRUE(kernel.Writes.empty());
  EXPECT_TRUE(progress.empty());
  EXPECT_EQ(pumps, 1);
  EXPECT_FALSE(cancel);

  kernel.OpenFails = false;
  kernel.LockRefusals = -1;
  out = Run();
  EXPECT_FALSE(out.VolumeOpened);
  EXPECT_TRUE(out.VolumeInUse);
  EXPECT_FALSE(out.VolumeLocked);
  EXPECT_TRUE(kernel.Writes.empty());
  EXPECT_EQ(kernel.OpenHandles, 0);
}

TEST_F(EraseRunTest, ExceptionsInAWriteOrTheProgressUpdateAreDropped) {
  int writes = 0;
  // The run raises, and then the write of its second cluster when it is written cluster by cluster.
  kernel.OnWrite = [&] {
    if (++writes == 1 || writes == 3) throw std::runtime_error("device gone");
  };
  TEraseHooks hooks;
  hooks.SetProgressPosition = [](int32_t p) {
    if (p == 0) throw std::runtime_error("bar gone");
  };
  TEraseOutcome out = EraseCard(rda, 'E', 0, cancel, hooks);
  EXPECT_EQ(writes, 17);
  EXPECT_EQ(kernel.Writes.size(), 15u);
  EXPECT_EQ(out.BytesNotWritten, 4096);
  EXPECT_FALSE(out.Cancelled);
  EXPECT_FALSE(rda.Opened());
}

TEST_F(EraseRunTest, NineXFamilyKeepsToTheClusterRange) {
  kernel.Version = {klk::PlatformWin32Windows, 10, ""};
  VWin32Handle.Release();
  kernel.Volume.assign(20 * 4096, 0xA5);
  TEraseOutcome out = Run();
  VWin32Handle.Close();
  EXPECT_EQ(kernel.Writes, Clusters(0, 0, 16 * 4096));  // one DOS transfer at its largest
  EXPECT_TRUE(Pattern(16 * 4096, 20 * 4096));
  EXPECT_TRUE(out.VolumeOpened);
  EXPECT_TRUE(out.VolumeLocked);
  EXPECT_EQ(out.VolumeLength, -1);
}

// DOS answers INT 21h 440Dh minor 60h with this BPB (the device parameters' bytes 7 on).
void AnswerDeviceParams(FakeDiskKernel& kernel, uint16_t bytesPerSector, uint8_t sectorsPerCluster, uint16_t reserved,
                        uint16_t perFat, uint32_t totalSectors) {
  kernel.VWin32Answer = [=, &kernel](uint32_t code, TVWin32Registers& regs) {
    if (code != klk::VWin32DiocDosIoctl || regs.ECX != klk::DosGetDeviceParams) return true;
    auto* p = const_cast<uint8_t*>(kernel.At<uint8_t>(regs.EDX));
    std::memcpy(p + 7, &bytesPerSector, 2);
    p[9] = sectorsPerCluster;
    std::memcpy(p + 10, &reserved, 2);
    p[12] = 2;  // FATs
    std::memcpy(p + 18, &perFat, 2);
    std::memcpy(p + 28, &totalSectors, 4);  // the word count at 15 stays 0: the big count holds
    return true;
  };
}

TEST_F(EraseRunTest, NineXFamilyZeroesTheTailWhenTheDeviceParametersDescribeTheVolume) {
  kernel.Version = {klk::PlatformWin32Windows, 10, ""};
  VWin32Handle.Release();
  // 32 reserved sectors, two FATs of one sector, 15 whole clusters and 6 sectors more.
  kernel.Volume.assign(160 * 512, 0xA5);
  AnswerDeviceParams(kernel, 512, 8, 32, 1, 160);
  TEraseOutcome out = Run();
  VWin32Handle.Close();
  EXPECT_EQ(out.VolumeLength, 160 * 512);
  EXPECT_TRUE(Zero(0, kernel.Volume.size()));
  EXPECT_EQ(kernel.Volume.size(), 160u * 512) << "nothing beyond the volume";
  EXPECT_EQ(out.BytesWritten, 160 * 512);
  EXPECT_TRUE(out.Complete());
}

TEST_F(EraseRunTest, NineXFamilyIgnoresDeviceParametersOfAnotherVolume) {
  kernel.Version = {klk::PlatformWin32Windows, 10, ""};
  VWin32Handle.Release();
  kernel.Volume.assign(20 * 4096, 0xA5);
  // What Wine answers for any drive: 32 MB of 1 KB clusters.
  AnswerDeviceParams(kernel, 512, 2, 1, 40, 64000);
  TEraseOutcome out = Run();
  VWin32Handle.Close();
  EXPECT_EQ(out.VolumeLength, -1);
  EXPECT_EQ(kernel.Writes, Clusters(0, 0, 16 * 4096));
  EXPECT_TRUE(Pattern(16 * 4096, 20 * 4096));
  EXPECT_EQ(out.LastSystemError, 0u);
}

TEST_F(EraseRunTest, PacedPumpRunsOnlyWhenItsIntervalHasPassedAndCancelStillStopsAtThatBlock) {
  kernel.TotalClusters = 40;
  kernel.Volume.assign(41 * 4096, 0xA5);
  uint32_t now = 0;
  kernel.OnWrite = [&] { now += 3; };  // each block takes 3 ms
  std::vector<size_t> pumpedAfter;
  TEraseHooks hooks;
  hooks.Clock = [&] { return now; };
  hooks.MessageIntervalMs = 10;
  hooks.RunBytes = 4096;
  hooks.ProcessMessages = [&] {
    pumpedAfter.push_back(kernel.Writes.size());
    if (kernel.Writes.size() == 20) cancel = true;
  };
  TEraseOutcome out = EraseCard(rda, 'E', 0, cancel, hooks);
  // Before the first block, then after every fourth one.
  EXPECT_EQ(pumpedAfter, (std::vector<size_t>{0, 4, 8, 12, 16, 20}));
  EXPECT_TRUE(out.Cancelled);
  EXPECT_EQ(kernel.Writes, Clusters(0, 19, 4096));
}

TEST_F(EraseRunTest, ProgressIsSetOnlyWhenThePositionChanges) {
  kernel.TotalClusters = 1000;
  kernel.Volume.assign(1001 * 4096, 0xA5);
  runBytes = 4096;
  Run();
  ASSERT_EQ(progress.size(), 101u);
  for (int32_t p = 0; p <= 100; ++p) EXPECT_EQ(progress[p], p);
  EXPECT_EQ(kernel.Writes.size(), 1001u);
}

// ---- runs that could not write what they set out to cover never look clean

TEST_F(EraseRunTest, NineXClusterRoundedToNothingIsWalkedInBlocksOfTheVolumesSize) {
  kernel.Version = {klk::PlatformWin32Windows, 10, ""};
  VWin32Handle.Release();
  kernel.TotalBytes = 3ull << 30;
  kernel.SectorsPerCluster = 2;  // a quarter of 2 rounds to 0
  onPump = [this] {
    if (kernel.Writes.size() == 3) cancel = true;
  };
  TEraseOutcome out = Run(0);
  VWin32Handle.Close();
  EXPECT_EQ(out.Refusal, TEraseRefusal::None);
  EXPECT_FALSE(out.GeometryAssumed);
  EXPECT_EQ(rda.Geometry.BytesPerCluster, 1024);
  EXPECT_EQ(rda.Geometry.SectorsPerCluster, 2);
  EXPECT_EQ(rda.Geometry.TotalClusters, (3ll << 30) / 1024);
  EXPECT_EQ(kernel.Writes, Clusters(0, 2, 65536)) << "runs as long as one DOS transfer";
  EXPECT_EQ(out.BytesToCover, (3ll << 30) + 1024);
  EXPECT_TRUE(out.Cancelled);
  EXPECT_FALSE(out.Complete());
}

TEST_F(EraseRunTest, GeometryThatMakesEmptyBlocksIsRefusedBeforeAnythingOpens) {
  rda.SetLogicalDrive('E');
  rda.Geometry.BytesPerCluster = 0;
  TEraseOutcome out = EraseSelectedDrive(rda, false, cancel, {});
  EXPECT_EQ(out.Refusal, TEraseRefusal::NoGeometry);
  EXPECT_FALSE(out.VolumeOpened);
  EXPECT_FALSE(out.Complete());
  EXPECT_EQ(std::count_if(kernel.Log.begin(), kernel.Log.end(),
                          [](const std::string& s) { return s.rfind("CreateFile", 0) == 0; }),
            0);
  EXPECT_TRUE(kernel.Writes.empty());
  EXPECT_FALSE(cancel);
}

TEST_F(EraseRunTest, UnreadableGeometryWithASizeOutsideTheListIsRefused) {
  kernel.AnswersGeometry = false;
  for (int index : {-1, CardSizeCount}) {
    TEraseOutcome out = Run(index);
    EXPECT_EQ(out.Refusal, TEraseRefusal::NoGeometry);
    EXPECT_FALSE(out.VolumeOpened);
    EXPECT_FALSE(out.EndReached);
    EXPECT_FALSE(out.Complete());
  }
  EXPECT_TRUE(kernel.Writes.empty());
  EXPECT_EQ(pumps, 0);
  TEraseOutcome out = EraseCard(rda, 'q', 0, cancel, {});
  EXPECT_EQ(out.Refusal, TEraseRefusal::NoDrive);
  EXPECT_FALSE(out.Complete());
}

TEST_F(EraseRunTest, AVolumeLengthOfZeroIsTakenForNoAnswer) {
  kernel.Volume.clear();  // both length queries answer 0
  TEraseOutcome out = Run();
  EXPECT_EQ(out.VolumeLength, -1);
  EXPECT_EQ(kernel.Writes, Clusters(0, 0, 16 * 4096));
  EXPECT_EQ(out.BytesWritten, 16 * 4096);
  EXPECT_TRUE(out.EndUnknown());
  EXPECT_FALSE(out.Complete()) << "what lies past the range was never reached";
}

// As NT 4 and 2000 answer: no length request, the partition's length instead. Where neither
// tells, the run cannot know the card's end and must not pass for a whole erase.
TEST_F(EraseRunTest, ACardWhoseEndIsOnlyInItsPartitionIsErasedWholeAndOneWithoutIsNotDone) {
  kernel.TotalClusters = 2000;
  kernel.TotalBytes = 2000 * 4096;
  kernel.LengthIoctl = kernel.FileSize = false;
  kernel.PartitionIoctl = true;
  kernel.Volume.assign(8499200, 0xA5);
  TEraseOutcome out = Run();
  EXPECT_EQ(out.VolumeLength, 8499200);
  EXPECT_EQ(out.BytesWritten, 8499200);
  EXPECT_TRUE(Zero(0, kernel.Volume.size()));
  EXPECT_TRUE(out.Complete());

  kernel.PartitionIoctl = false;
  kernel.Volume.assign(8499200, 0xA5);
  out = Run();
  EXPECT_EQ(out.BytesWritten, 8196096);
  EXPECT_TRUE(Pattern(8196096, 8499200));
  EXPECT_TRUE(out.EndUnknown());
  EXPECT_EQ(out.BytesNotReached, 0) << "the drive's figures tell of nothing past the range";
  EXPECT_FALSE(out.Complete());
}

TEST_F(EraseRunTest, AnAssumedSizeWhoseWritesStopSaysWhereAndThatTheCauseIsUnknown) {
  kernel.AnswersGeometry = false;
  kernel.LengthIoctl = kernel.FileSize = false;
  kernel.FailureError = 112;  // ERROR_DISK_FULL, as a sparse image on a full tmpfs answers
  kernel.WriteFails = [](int64_t offset) { return offset >= 1 << 20; };
  TEraseOutcome out = Run(0);
  EXPECT_TRUE(out.GeometryAssumed);
  EXPECT_EQ(out.BytesWritten, 1 << 20);
  EXPECT_EQ(out.BytesNotWritten, 0);
  EXPECT_EQ(out.WritesStoppedAt, 1 << 20);
  EXPECT_TRUE(out.StopCauseUnknown);
  EXPECT_EQ(out.BytesToCover, 8389632);
  EXPECT_EQ(out.LastSystemError, 112u);
  EXPECT_TRUE(out.EndReached);
  EXPECT_FALSE(out.Complete());

  // With the card's own geometry the same failures are failures, not an end.
  kernel.AnswersGeometry = true;
  kernel.WriteFails = [](int64_t offset) { return offset >= 8 * 4096; };
  out = Run(0);
  EXPECT_EQ(out.WritesStoppedAt, -1);
  EXPECT_FALSE(out.StopCauseUnknown);
  EXPECT_EQ(out.BytesNotWritten, 8 * 4096);
  EXPECT_FALSE(out.Complete());
}

// ---- runs: many clusters per write, cancel and accounting exact to the cluster

TEST_F(EraseRunTest, RunsStartAtMultiplesOfTheirSizeAndOneCrossesTheRangesEndIntoTheRest) {
  kernel.TotalClusters = 300;  // the range ends inside the second run
  const size_t length = 3 * MiB + 3 * 512 + 100;
  kernel.Volume.assign(length, 0xA5);
  const TEraseOutcome out = Run();
  EXPECT_EQ(kernel.Writes, (Writes{{0, MiB}, {MiB, MiB}, {2 * MiB, MiB}, {3 * MiB, 3 * 512}}));
  EXPECT_TRUE(Zero(0, length - 100));
  EXPECT_TRUE(Pattern(length - 100, length));
  EXPECT_EQ(out.BytesWritten, static_cast<int64_t>(length - 100));
  EXPECT_TRUE(out.Complete());
  EXPECT_EQ(progress, (std::vector<int32_t>{0, 33, 67, 100}));
  EXPECT_EQ(pumps, 5);

  // Runs never carry more than asked, nor less than a cluster.
  kernel.Writes.clear();
  runBytes = 3 * 4096 + 100;
  kernel.TotalClusters = 7;
  kernel.Volume.assign(8 * 4096, 0xA5);
  Run();
  EXPECT_EQ(kernel.Writes, (Writes{{0, 3 * 4096}, {3 * 4096, 3 * 4096}, {6 * 4096, 2 * 4096}}));
  kernel.Writes.clear();
  runBytes = 100;
  Run();
  EXPECT_EQ(kernel.Writes, Clusters(0, 7, 4096));
}

TEST_F(EraseRunTest, ARunThatFailsInItsMiddleIsWrittenAgainClusterByClusterAndOnlyItsBadClusterIsCounted) {
  kernel.TotalClusters = 3 * ClustersPerMiB - 1;
  kernel.Volume.assign(3 * MiB, 0xA5);
  kernel.FailureError = 23;
  const int64_t bad = MiB + 5 * 4096 + 1024;  // the third sector of cluster 261
  kernel.WriteFails = [&](int64_t offset) { return offset == bad; };
  const TEraseOutcome out = Run();
  EXPECT_EQ(out.BytesNotWritten, 4096);
  EXPECT_EQ(out.BytesWritten, 3 * MiB - 4096);
  EXPECT_EQ(out.LastSystemError, 23u);
  EXPECT_FALSE(out.WriteComplete());
  EXPECT_TRUE(Zero(0, bad));
  EXPECT_TRUE(Pattern(bad, 262 * 4096));  // the device took the sectors before the bad one
  EXPECT_TRUE(Zero(262 * 4096, 3 * MiB));
  // The run, then its 256 clusters one by one, then the last run whole.
  ASSERT_EQ(kernel.Writes.size(), 1u + 1u + 256u + 1u);
  EXPECT_EQ(kernel.Writes[1], (std::pair<int64_t, uint32_t>{MiB, 5 * 4096 + 1024}));
  EXPECT_EQ(kernel.Writes.back(), (std::pair<int64_t, uint32_t>{2 * MiB, MiB}));

  // A run that fails once and then takes its clusters: nothing is missing, nothing is told.
  kernel.Volume.assign(3 * MiB, 0xA5);
  int calls = 0;
  kernel.WriteFails = [&](int64_t offset) { return offset == bad && ++calls == 1; };
  const TEraseOutcome again = Run();
  EXPECT_EQ(again.BytesNotWritten, 0);
  EXPECT_EQ(again.LastSystemError, 0u);
  EXPECT_TRUE(again.Complete());
}

TEST_F(EraseRunTest, AnAssumedSizeWhoseWritesStopInsideARunSaysWhereToTheCluster) {
  kernel.AnswersGeometry = false;
  kernel.LengthIoctl = kernel.FileSize = false;
  kernel.Volume.clear();
  const int64_t end = MiB + 300 * 1024 + 512;  // a card that ends inside assumed cluster 1324
  kernel.WriteFails = [&](int64_t offset) { return offset >= end; };
  const TEraseOutcome out = Run(0);
  EXPECT_EQ(out.WritesStoppedAt, MiB + 300 * 1024);
  EXPECT_TRUE(out.StopCauseUnknown);
  EXPECT_EQ(out.BytesWritten, MiB + 300 * 1024);
  EXPECT_EQ(out.BytesNotWritten, 0);
  EXPECT_FALSE(out.Complete());
}

TEST_F(EraseRunTest, ACancelIsAnsweredAtTheEndOfTheRunInWhosePassItWasAsked) {
  kernel.TotalClusters = 4 * ClustersPerMiB - 1;
  kernel.Volume.assign(4 * MiB, 0xA5);
  // The question answered Yes in the pass that follows the second run, with a paced pump
  // that is due after every run: a run takes a quarter of a second.
  uint32_t now = 0;
  kernel.OnWrite = [&] { now += 250; };
  TEraseHooks hooks;
  hooks.Clock = [&] { return now; };
  hooks.ProcessMessages = [&] {
    if (kernel.Writes.size() == 2) cancel = true;
  };
  const TEraseOutcome out = EraseCard(rda, 'E', 0, cancel, hooks);
  EXPECT_EQ(kernel.Writes, Clusters(0, 1, MiB));
  EXPECT_TRUE(Pattern(2 * MiB, 4 * MiB));
  EXPECT_TRUE(out.Cancelled);
  EXPECT_EQ(out.BytesWritten, 2 * MiB);
  EXPECT_EQ(rda.StartCluster(), 2 * ClustersPerMiB);
}

TEST_F(EraseRunTest, TheReadBackReadsARunThatFailsBlockByBlockAndStopsAtTheFirstUnreadableOne) {
  runBytes = 4 * 4096;  // the card's 16 blocks, all sampled, read four at a time
  kernel.ReadFails = [](int64_t offset) { return offset == 9 * 4096 + 512; };
  const TEraseOutcome out = Run();
  EXPECT_TRUE(out.WriteComplete());
  EXPECT_TRUE(out.VerifyUnreadable);
  EXPECT_EQ(out.VerifyFailedAt, 9 * 4096);
  EXPECT_EQ(out.BytesVerified, 9 * 4096);
  EXPECT_EQ(kernel.Reads, (Writes{{0, 4 * 4096}, {4 * 4096, 4 * 4096}, {8 * 4096, 4096}}));
}

// ---- every way out closes and unlocks the volume

class EraseRunHookTest : public EraseRunTest {
protected:
  void ExpectClosedWith(const TEraseOutcome& out, const std::string& error) {
    EXPECT_EQ(out.Error, error);
    EXPECT_FALSE(out.EndReached);
    EXPECT_FALSE(out.Complete());
    EXPECT_FALSE(rda.Opened());
    EXPECT_EQ(kernel.OpenHandles, 0);
    ASSERT_GE(kernel.Log.size(), 2u);
    EXPECT_EQ(kernel.Log[kernel.Log.size() - 2], "Unlock");
    EXPECT_EQ(kernel.Log.back(), "CloseHandle 256");
  }
  TEraseOutcome RunWith(const TEraseHooks& hooks) {
    TEraseOutcome out;
    EXPECT_NO_THROW(out = EraseCard(rda, 'E', 0, cancel, hooks));
    return out;
  }
};

TEST_F(EraseRunHookTest, APumpRaisingBeforeTheFirstBlock) {
  TEraseHooks hooks;
  hooks.ProcessMessages = [] { throw std::runtime_error("pump gone"); };
  ExpectClosedWith(RunWith(hooks), "pump gone");
  EXPECT_TRUE(kernel.Writes.empty());
}

TEST_F(EraseRunHookTest, APumpRaisingInTheRangeAndInTheTail) {
  kernel.TotalClusters = 16 * ClustersPerMiB - 1;
  kernel.Volume.assign(17 * MiB + 8192, 0xA5);
  for (size_t at : {size_t{5}, size_t{17}}) {
    kernel.Writes.clear();
    TEraseHooks hooks;
    hooks.ProcessMessages = [&] {
      if (kernel.Writes.size() == at) throw std::runtime_error("window gone");
    };
    const TEraseOutcome out = RunWith(hooks);
    ExpectClosedWith(out, "window gone");
    EXPECT_EQ(kernel.Writes.size(), at);
    EXPECT_EQ(out.BytesWritten, static_cast<int64_t>(at) * MiB);
  }
}

TEST_F(EraseRunHookTest, APumpRaisingDuringTheReadBack) {
  bool reading = false;
  TEraseHooks hooks;
  hooks.PhaseChanged = [&](TErasePhase p) { reading = p == TErasePhase::Verifying; };
  hooks.ProcessMessages = [&] {
    if (reading) throw std::runtime_error("window gone");
  };
  const TEraseOutcome out = RunWith(hooks);
  ExpectClosedWith(out, "window gone");
  EXPECT_FALSE(out.Verified);
  EXPECT_EQ(out.BytesWritten, 16 * 4096);
}

TEST_F(EraseRunHookTest, AClockRaisingAtTheStartOrMidRun) {
  for (int at : {1, 4}) {
    int calls = 0;
    TEraseHooks hooks;
    hooks.RunBytes = 4 * 4096;  // four runs
    hooks.Clock = [&]() -> uint32_t {
      if (++calls == at) throw std::runtime_error("no clock");
      return 0;
    };
    ExpectClosedWith(RunWith(hooks), "no clock");
  }
  TEraseHooks odd;
  odd.ProcessMessages = [] { throw 42; };
  ExpectClosedWith(RunWith(odd), "Unknown error");
}

// ---- the read-back

// Ascending, no block twice, each end read as one run from the very first and to the very
// last block, and the middle without a gap much wider than its share.
static void ExpectSampleShape(const std::vector<int64_t>& s, int64_t blocks, size_t edge) {
  SCOPED_TRACE(blocks);
  ASSERT_GE(s.size(), 2 * edge);
  EXPECT_TRUE(std::adjacent_find(s.begin(), s.end(), std::greater_equal<int64_t>()) == s.end());
  EXPECT_EQ(s[edge - 1], static_cast<int64_t>(edge) - 1);
  EXPECT_EQ(s[s.size() - edge], blocks - static_cast<int64_t>(edge));
  EXPECT_EQ(s.back(), blocks - 1);
  const int64_t spread = static_cast<int64_t>(s.size() - 2 * edge);
  const int64_t share = (blocks - 2 * static_cast<int64_t>(edge)) / spread;
  for (size_t i = edge; i <= s.size() - edge; ++i) EXPECT_LE(s[i] - s[i - 1], share + 1) << i;
}

TEST(EraseRunVerifySample, TakesEveryBlockOfASmallCardAndTheEdgesAndAnEvenSpreadOfALargeOne) {
  EXPECT_TRUE(VerifySample(0, 4096).empty());
  // A card of no more than the least sample is read whole.
  std::vector<int64_t> all(VerifyMinBlocks);
  for (int64_t b = 0; b < VerifyMinBlocks; ++b) all[b] = b;
  EXPECT_EQ(VerifySample(VerifyMinBlocks, 512), all);
  all.resize(17);
  EXPECT_EQ(VerifySample(17, 65536), all);

  // Large cards of small clusters: the full sample, 64 blocks at each end.
  for (int64_t blocks : {int64_t{100000}, int64_t{4928513}}) {
    const std::vector<int64_t> s = VerifySample(blocks, 4096);
    ASSERT_EQ(s.size(), 384u);
    ExpectSampleShape(s, blocks, 64);
  }
}

TEST(EraseRunVerifySample, ReadsAFewPerCentOfASmallCardAndAFewMegabytesOfALargeOne) {
  struct Case {
    int64_t blocks, blockBytes;
    size_t size, edge;
  };
  for (Case c : {Case{2049, 4096, 32, 5},      // 8 MB of 4 KB clusters: 128 KB
                 Case{65537, 4096, 384, 64},   // 256 MB: the full sample, 1.5 MB
                 Case{32768, 32768, 128, 21},  // 1 GB of 32 KB clusters: 4 MB
                 Case{262144, 65536, 64, 10},  // 16 GB of 64 KB clusters: 4 MB
                 Case{300, 65536, 24, 4}}) {   // tiny and coarse: the least sample
    const std::vector<int64_t> s = VerifySample(c.blocks, c.blockBytes);
    ASSERT_EQ(s.size(), c.size) << c.blocks;
    ExpectSampleShape(s, c.blocks, c.edge);
    if (c.size > static_cast<size_t>(VerifyMinBlocks)) {
      EXPECT_LE(static_cast<int64_t>(s.size()) * c.blockBytes, VerifyMaxBytes);
      EXPECT_LE(static_cast<int64_t>(s.size()) * VerifyShareDivisor, c.blocks);
    }
  }
}

TEST_F(EraseRunTest, ARunThatWroteEverythingReadsItBackWithoutWriting) {
  kernel.Volume.assign(16 * 4096 + 3 * 512 + 100, 0xA5);  // ends in a piece of a cluster
  TEraseOutcome out = Run();
  EXPECT_EQ(kernel.Writes.size(), 1u);
  EXPECT_EQ(phases, (std::vector<TErasePhase>{TErasePhase::Writing, TErasePhase::Verifying}));
  EXPECT_TRUE(out.WriteComplete());
  EXPECT_TRUE(out.Verified);
  EXPECT_TRUE(out.Complete());
  EXPECT_EQ(out.BytesVerified, 16 * 4096 + 3 * 512);
  EXPECT_EQ(out.VerifyFailedAt, -1);
  // Every block is in the sample of so small a card: one run, to the last whole sector.
  EXPECT_EQ(kernel.Reads, (Writes{{0, 16 * 4096 + 3 * 512}}));
  EXPECT_EQ(verifyProgress.front(), 0);
  EXPECT_EQ(verifyProgress.back(), 100);
  EXPECT_TRUE(std::is_sorted(verifyProgress.begin(), verifyProgress.end()));
  EXPECT_EQ(verifyPumps, 1);  // once per run (without a clock every pump is due)
  EXPECT_EQ(kernel.Log.back(), "CloseHandle 256");
}

TEST_F(EraseRunTest, BytesChangedBehindTheRunsBackFailTheReadBackAtTheFirstOne) {
  kernel.TotalClusters = 1999;  // 2000 blocks: the sample is 31 of them
  const int64_t size = 2000 * 4096;
  const std::vector<int64_t> sample = VerifySample(2000, 4096);
  ASSERT_EQ(sample.size(), 31u);
  struct Case {
    int64_t from, length;
  };
  // In the first blocks, in the spread (a run that starts between two sampled blocks), in
  // the very last byte.
  for (Case c : {Case{3 * 4096 + 100, 3}, Case{sample[15] * 4096 + 4000, 20 * 4096}, Case{size - 1, 1}}) {
    kernel.Volume.assign(size, 0xA5);
    kernel.Reads.clear();
    beforeVerify = [&] { std::fill_n(kernel.Volume.begin() + c.from, c.length, 0x5A); };
    const TEraseOutcome out = Run();
    // The first sampled byte that was changed.
    int64_t expected = -1;
    for (int64_t b : sample)
      if (b * 4096 + 4096 > c.from) {
        expected = std::max(b * 4096, c.from);
        break;
      }
    EXPECT_TRUE(out.WriteComplete());
    EXPECT_FALSE(out.Verified);
    EXPECT_FALSE(out.Complete());
    EXPECT_FALSE(out.VerifyUnreadable);
    EXPECT_EQ(out.VerifyFailedAt, expected) << c.from;
    // It stopped at the read that holds it, and counts the sampled blocks before it.
    EXPECT_LE(kernel.Reads.back().first, expected);
    EXPECT_GT(kernel.Reads.back().first + kernel.Reads.back().second, expected);
    EXPECT_EQ(out.BytesVerified,
              4096 * std::count_if(sample.begin(), sample.end(), [&](int64_t b) { return b < expected / 4096; }));
  }
}

TEST_F(EraseRunTest, ACardThatCannotBeReadBackFailsTheReadBack) {
  kernel.FailureError = 23;  // ERROR_CRC
  kernel.ReadFails = [](int64_t offset) { return offset >= 9 * 4096; };
  TEraseOutcome out = Run();
  EXPECT_TRUE(out.WriteComplete());
  EXPECT_FALSE(out.Verified);
  EXPECT_FALSE(out.Complete());
  EXPECT_TRUE(out.VerifyUnreadable);
  EXPECT_EQ(out.VerifyFailedAt, 9 * 4096);
  EXPECT_EQ(out.BytesVerified, 9 * 4096);
  EXPECT_EQ(out.LastSystemError, 23u);
  EXPECT_FALSE(rda.Opened());
}

TEST_F(EraseRunTest, OnlyARunThatWroteEverythingIsReadBack) {
  runBytes = 4 * 4096;
  onPump = [this] {
    if (kernel.Writes.size() == 2) cancel = true;
  };
  TEraseOutcome out = Run();
  EXPECT_TRUE(out.Cancelled);
  EXPECT_FALSE(out.Verified);
  EXPECT_EQ(out.VerifyFailedAt, -1);
  EXPECT_EQ(phases, std::vector<TErasePhase>{TErasePhase::Writing});

  onPump = nullptr;
  kernel.WriteFails = [](int64_t offset) { return offset == 4096; };
  out = Run();
  EXPECT_FALSE(out.WriteComplete());
  EXPECT_FALSE(out.Verified);
  EXPECT_TRUE(kernel.Reads.empty());
}

TEST_F(EraseRunTest, CancelDuringTheReadBackStopsItButNotAsACancelledErase) {
  runBytes = 4 * 4096;
  onPump = [this] {
    if (verifying && kernel.Reads.size() == 1) cancel = true;
  };
  TEraseOutcome out = Run();
  EXPECT_FALSE(out.Cancelled);
  EXPECT_TRUE(out.VerifyCancelled);
  EXPECT_TRUE(out.WriteComplete());
  EXPECT_FALSE(out.Verified);
  EXPECT_FALSE(out.Complete());
  EXPECT_EQ(kernel.Reads, (Writes{{0, 4 * 4096}}));
  EXPECT_EQ(out.BytesVerified, 4 * 4096);
  EXPECT_FALSE(rda.Opened());
}

TEST_F(EraseRunTest, NineXFamilyReadsBackThroughTheDosServices) {
  kernel.Version = {klk::PlatformWin32Windows, 10, ""};
  VWin32Handle.Release();
  kernel.Volume.assign(16 * 4096, 0xA5);
  beforeVerify = [this] { kernel.Volume[15 * 4096 + 7] = 1; };
  TEraseOutcome out = Run();
  VWin32Handle.Close();
  EXPECT_TRUE(out.WriteComplete());
  EXPECT_EQ(out.VerifyFailedAt, 15 * 4096 + 7);
  EXPECT_EQ(kernel.Reads, Clusters(0, 0, 16 * 4096));
  EXPECT_EQ(kernel.Writes, Clusters(0, 0, 16 * 4096));
  // The component was made before the version changed: no FAT32 forms, so INT 25h.
  EXPECT_EQ(std::count_if(kernel.VWin32Calls.begin(), kernel.VWin32Calls.end(),
                          [](const auto& c) { return c.Code == klk::VWin32DiocDosInt25; }),
            1);
}

// ---- the drive the user confirmed, and no other

TEST_F(EraseRunTest, AConfirmedDriveIsErasedOnlyWhileItStillHoldsTheConfirmedVolume) {
  rda.SetLogicalDrive('E');
  const TEraseTarget confirmed = EraseTargetOf(rda);
  EXPECT_EQ(confirmed.Letter, 'E');
  EXPECT_EQ(confirmed.SerialNumber, 0x1234ABCDu);
  EXPECT_EQ(confirmed.TotalBytes, 8 << 20);

  // Another card under the letter (another serial), a drive of another size that took the
  // letter over, the letter gone: nothing opened, nothing written.
  const std::vector<std::function<void()>> changes = {
      [this] { kernel.Serial = 0x0BADF00D; },
      [this] { kernel.TotalBytes = 16 << 20, kernel.TotalClusters = 4096; },
      [this] { kernel.DriveTypes.clear(); },
  };
  for (size_t i = 0; i < changes.size(); ++i) {
    SCOPED_TRACE(i);
    FakeDiskKernel other;
    kernel.Serial = other.Serial, kernel.TotalBytes = other.TotalBytes, kernel.TotalClusters = 15;
    kernel.DriveTypes = other.DriveTypes;
    kernel.Log.clear();
    changes[i]();
    const TEraseOutcome out = EraseCard(rda, confirmed, 0, cancel, {});
    EXPECT_EQ(out.Refusal, i < 2 ? TEraseRefusal::VolumeChanged : TEraseRefusal::NoDrive);
    EXPECT_FALSE(out.VolumeOpened);
    EXPECT_FALSE(out.Complete());
    EXPECT_FALSE(cancel);
    EXPECT_TRUE(std::none_of(kernel.Log.begin(), kernel.Log.end(),
                             [](const std::string& s) { return s.rfind("CreateFile", 0) == 0; }));
  }
  EXPECT_TRUE(kernel.Writes.empty());
  EXPECT_TRUE(Pattern(0, kernel.Volume.size()));

  kernel.Serial = confirmed.SerialNumber;
  kernel.TotalBytes = 8 << 20;
  kernel.DriveTypes = FakeDiskKernel().DriveTypes;
  const TEraseOutcome out = EraseCard(rda, confirmed, 0, cancel, {});
  EXPECT_EQ(out.Refusal, TEraseRefusal::None);
  EXPECT_TRUE(Zero(0, kernel.Volume.size()));
}

TEST_F(EraseRunTest, AConfirmedCardWithoutGeometryKeepsItsChosenSizeAndIsStillChecked) {
  kernel.AnswersGeometry = false;
  kernel.LengthIoctl = kernel.FileSize = false;
  kernel.Volume.clear();
  rda.SetLogicalDrive('E');
  const TEraseTarget confirmed = EraseTargetOf(rda);
  kernel.AnswersGeometry = true;  // a card that reports itself went in meanwhile
  EXPECT_EQ(EraseCard(rda, confirmed, 0, cancel, {}).Refusal, TEraseRefusal::VolumeChanged);
  EXPECT_TRUE(kernel.Writes.empty());
  kernel.AnswersGeometry = false;
  const TEraseOutcome out = EraseCard(rda, confirmed, 0, cancel, {});
  EXPECT_TRUE(out.GeometryAssumed);
  EXPECT_EQ(kernel.Writes.size(), 9u);  // 8 MB in runs, then block 8192
}

// ---- the 9x family: cards made with mkfs.vfat, as its services describe them

namespace {

// A FAT card of 512-byte sectors as its boot sector describes it.
struct TFatCard {
  int64_t TotalSectors;
  uint8_t SectorsPerCluster;
  uint16_t Reserved;
  uint16_t RootEntries;
  uint32_t SectorsPerFat;
  bool Fat32;
  int64_t Clusters() const {
    return (TotalSectors - Reserved - 2 * SectorsPerFat - RootEntries * 32 / 512) / SectorsPerCluster;
  }
  int64_t Bytes() const { return TotalSectors * 512; }
};

const TFatCard kFat16Card64MB{131072, 4, 4, 512, 128, false};    // 32,695 clusters of 2 KB
const TFatCard kFat32Card320MB{655360, 8, 72, 0, 640, true};     // 81,751 clusters of 4 KB
const TFatCard kFat32Card2100MB{4300800, 64, 32, 0, 525, true};  // 67,183 clusters of 32 KB

// The boot sector as INT 21h 440Dh minor 60h gives it (the device parameters' bytes 7 on).
void FillDeviceParams(uint8_t* p, const TFatCard& card) {
  const uint16_t bps = 512, reserved = card.Reserved, root = card.RootEntries;
  const uint16_t perFat16 = card.Fat32 ? 0 : static_cast<uint16_t>(card.SectorsPerFat);
  const uint32_t perFat32 = card.Fat32 ? card.SectorsPerFat : 0;
  const auto total = static_cast<uint32_t>(card.TotalSectors);
  std::memcpy(p + 7, &bps, 2);
  p[9] = card.SectorsPerCluster;
  std::memcpy(p + 10, &reserved, 2);
  p[12] = 2;
  std::memcpy(p + 13, &root, 2);
  std::memcpy(p + 18, &perFat16, 2);
  std::memcpy(p + 28, &total, 4);
  std::memcpy(p + 32, &perFat32, 4);
}

// Puts Card in the fake drive as Windows 98 reports it: the free-space query halves a cluster
// count above 65,535 and doubles the cluster, and stops at 2 GB; its Ex form and the FAT32
// call (7303h) tell the true figures; the device parameters give BootSector, in the FAT32
// form only for a FAT32 card.
void Insert9xCard(FakeDiskKernel& kernel, const TFatCard& card, const TFatCard& bootSector) {
  kernel.Version = {klk::PlatformWin32Windows, 10, ""};
  const int64_t clusters = card.Clusters();
  kernel.TotalBytes = static_cast<uint64_t>(clusters) * card.SectorsPerCluster * 512;
  int64_t shown = clusters;
  uint32_t spc = card.SectorsPerCluster;
  for (; shown > 65535 && spc < 64; spc *= 2) shown /= 2;
  shown = std::min<int64_t>(shown, 2147483647 / (spc * 512));
  kernel.SectorsPerCluster = spc;
  kernel.TotalClusters = static_cast<uint32_t>(shown);
  kernel.BytesPerSector = 512;
  kernel.UnkeptSize = card.Bytes();
  kernel.VWin32Answer = [&kernel, card, bootSector](uint32_t code, TVWin32Registers& regs) {
    if (code == klk::VWin32DiocDosDriveInfo && regs.EAX == klk::DosExtGetFreeSpace) {
      TExtFreeSpace ext;
      if (std::strcmp(kernel.At<char>(regs.EDX), "E:\\") != 0 || regs.ECX < sizeof ext) {
        regs.Flags |= VWin32CarryFlag;
        return true;
      }
      ext.SectorsPerCluster = card.SectorsPerCluster;
      ext.BytesPerSector = 512;
      ext.TotalClusters = static_cast<uint32_t>(card.Clusters());
      std::memcpy(const_cast<uint8_t*>(kernel.At<uint8_t>(regs.EDI)), &ext, sizeof ext);
    } else if (code == klk::VWin32DiocDosIoctl && (regs.ECX & 0xFF) == 0x60) {
      if (bootSector.Fat32 && regs.ECX == klk::DosGetDeviceParams) {
        regs.Flags |= VWin32CarryFlag;
        regs.EAX = 1;  // the FAT16 form knows no FAT32 volume
      } else {
        FillDeviceParams(const_cast<uint8_t*>(kernel.At<uint8_t>(regs.EDX)), bootSector);
      }
    }
    return true;
  };
}

// The covered ranges are exactly [0, bytes).
bool CoveredExactly(const FakeDiskKernel& kernel, int64_t bytes) {
  return kernel.Covered.size() == 1 && kernel.Covered.begin()->first == 0 && kernel.Covered.begin()->second == bytes;
}

class EraseRun9xCardTest : public ::testing::Test {
protected:
  void SetUp() override { VWin32Handle.Release(); }
  void TearDown() override { VWin32Handle.Close(); }
  TEraseOutcome Erase(const TFatCard& card, const TFatCard& bootSector) {
    Insert9xCard(kernel, card, bootSector);
    TKLDiskAccess rda(nullptr, &kernel);
    bool cancel = false;
    TEraseHooks hooks;
    hooks.SetProgressPosition = [this](int32_t p) { lastProgress = p; };
    hooks.BytesWritten = [this](int64_t bytes) { told.push_back(bytes); };
    uint32_t now = 0;
    hooks.Clock = [&now] { return now += 1; };  // a pump now and then, as in the wizard
    return EraseCard(rda, 'E', 0, cancel, hooks);
  }
  FakeDiskKernel kernel;
  int32_t lastProgress = -1;
  std::vector<int64_t> told;  // bytes written, as the run told them
};

}  // namespace

TEST_F(EraseRun9xCardTest, EachCardIsErasedWholeFromItsBootSectorsLength) {
  for (const TFatCard* card : {&kFat16Card64MB, &kFat32Card320MB, &kFat32Card2100MB}) {
    SCOPED_TRACE(card->Bytes());
    kernel = FakeDiskKernel();
    const TEraseOutcome out = Erase(*card, *card);
    EXPECT_EQ(out.VolumeLength, card->Bytes());
    EXPECT_TRUE(CoveredExactly(kernel, card->Bytes())) << kernel.Covered.size() << " ranges";
    EXPECT_EQ(out.BytesWritten, card->Bytes());
    EXPECT_EQ(out.BytesNotWritten, 0);
    EXPECT_TRUE(out.Verified);
    EXPECT_TRUE(out.Complete());
    EXPECT_FALSE(EraseFailed(out)) << "Finished!";
    EXPECT_EQ(lastProgress, 100);
    // The figures go on past the cluster range, to the whole card as the read-back begins.
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    EXPECT_GT(std::count_if(told.begin(), told.end(), [&](int64_t b) { return b > out.BytesToCover / 2; }), 1);
    EXPECT_EQ(told.back(), card->Bytes());
    told.clear();
  }
}

TEST_F(EraseRun9xCardTest, ABootSectorOfAnotherVolumeIsRefusedAndTheRunIsNotDone) {
  // What Wine answers for any drive: 32 MB of 1 KB clusters.
  const TFatCard madeUp{64000, 2, 1, 512, 40, false};
  TEraseOutcome out = Erase(kFat32Card320MB, madeUp);
  EXPECT_EQ(out.VolumeLength, -1);
  EXPECT_EQ(out.BytesWritten, 40876ll * 8192);
  EXPECT_TRUE(CoveredExactly(kernel, 40876ll * 8192)) << "nothing past the range on a guess";
  EXPECT_FALSE(out.Complete());
  EXPECT_TRUE(EraseFailed(out)) << "Erase failed!";

  // The large card's true figures tell how much, at least, its capped range left behind.
  kernel = FakeDiskKernel();
  out = Erase(kFat32Card2100MB, kFat32Card320MB);
  EXPECT_EQ(out.VolumeLength, -1);
  EXPECT_EQ(out.BytesToCover, 65536ll * 8192);
  EXPECT_EQ(out.BytesNotReached, 67183ll * 32768 - 65536ll * 8192);
  EXPECT_TRUE(EraseFailed(out));
}
