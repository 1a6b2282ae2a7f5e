#include "wizard/EraseRun.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>

namespace orv {

const int32_t CardSizesMB[CardSizeCount] = {8, 16, 32, 64, 128, 256, 512, 650, 700, 1024, 2048, 4096, 4813, 8192};

namespace {
constexpr int32_t AssumedClusterBytes = 1024;
constexpr int32_t AssumedSectorBytes = 512;
}  // namespace

void SetAssumedGeometry(TDiskGeometry& Geometry, int32_t SizeMB) {
  Geometry.BytesPerCluster = AssumedClusterBytes;
  Geometry.BytesPerSector = AssumedSectorBytes;
  Geometry.SectorsPerCluster = AssumedClusterBytes / AssumedSectorBytes;
  Geometry.TotalClusters = static_cast<int64_t>(SizeMB) * 1024;
  Geometry.TotalBytes = static_cast<int64_t>(Geometry.BytesPerCluster) * Geometry.TotalClusters;
}

bool EraseGeometryUsable(const TDiskGeometry& Geometry) {
  return Geometry.BytesPerSector > 0 && Geometry.SectorsPerCluster > 0 && Geometry.TotalClusters >= 0 &&
         Geometry.BytesPerCluster == static_cast<int64_t>(Geometry.SectorsPerCluster) * Geometry.BytesPerSector;
}

bool EraseProgress(int64_t Counter, int64_t TotalClusters, int32_t& Position) {
  if (TotalClusters == 0) return false;
  const long double percent = static_cast<long double>(Counter) / static_cast<long double>(TotalClusters) * 100.0L;
  // Default rounding mode: to nearest, ties to even.
  const long double rounded = std::nearbyintl(percent);
  if (!std::isfinite(rounded) || std::fabs(rounded) > 9.0e18L) return false;
  Position = static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(rounded)));
  return true;
}

namespace {

// The 9x family rounds the sectors per cluster of a large volume, and 2 becomes 0; the
// volume's size is still known, so walk it in blocks of the assumed size, whole sectors each.
bool TakeGeometryFromVolumeSize(TDiskGeometry& g) {
  if (g.BytesPerSector <= 0 || g.TotalBytes <= 0) return false;
  g.SectorsPerCluster = std::max(AssumedClusterBytes / g.BytesPerSector, 1);
  g.BytesPerCluster = g.SectorsPerCluster * g.BytesPerSector;
  g.TotalClusters = g.TotalBytes / g.BytesPerCluster;
  return true;
}

}  // namespace

std::vector<int64_t> VerifySample(int64_t Blocks, int64_t BlockBytes) {
  std::vector<int64_t> sample;
  if (Blocks <= 0) return sample;
  const int64_t budget = std::min(VerifyMaxBytes, Blocks * std::max<int64_t>(BlockBytes, 1) / VerifyShareDivisor);
  const int64_t whole =
      std::clamp(budget / std::max<int64_t>(BlockBytes, 1), VerifyMinBlocks, 2 * VerifyEdgeBlocks + VerifySpreadBlocks);
  if (Blocks <= whole) {
    for (int64_t b = 0; b < Blocks; ++b) sample.push_back(b);
    return sample;
  }
  // The full sample's shape: a sixth at each end, the rest spread.
  const int64_t edge = std::max<int64_t>(1, whole * VerifyEdgeBlocks / (2 * VerifyEdgeBlocks + VerifySpreadBlocks));
  const int64_t spread = whole - 2 * edge;
  for (int64_t b = 0; b < edge; ++b) sample.push_back(b);
  // The middle of each of the spread's equal stretches between the two ends.
  const int64_t between = Blocks - 2 * edge;
  for (int64_t i = 0; i < spread; ++i) sample.push_back(edge + (2 * i + 1) * between / (2 * spread));
  for (int64_t b = Blocks - edge; b < Blocks; ++b) sample.push_back(b);
  return sample;
}

TEraseTarget EraseTargetOf(const TKLDiskAccess& RDA) {
  TEraseTarget target;
  target.Letter = RDA.LogicalDrive();
  target.TotalBytes = RDA.Geometry.TotalBytes;
  target.TotalClusters = RDA.Geometry.TotalClusters;
  target.SerialNumber = RDA.MediaID().SerialNumber;
  return target;
}

namespace {

bool TakeEraseGeometry(TKLDiskAccess& RDA, int SizeIndex) {
  if (EraseGeometryUsable(RDA.Geometry)) return false;
  if (RDA.Geometry.BytesPerSector != 0 && TakeGeometryFromVolumeSize(RDA.Geometry)) return false;
  if (SizeIndex >= 0 && SizeIndex < CardSizeCount) SetAssumedGeometry(RDA.Geometry, CardSizesMB[SizeIndex]);
  return true;
}

}  // namespace

bool SelectEraseDrive(TKLDiskAccess& RDA, char DriveLetter, int SizeIndex) {
  RDA.SetLogicalDrive(DriveLetter);
  return TakeEraseGeometry(RDA, SizeIndex);
}

namespace {

// Counts what was written. Where the volume's length is not known and the size was only
// assumed, failures after the last written block are taken as the end of a smaller card,
// and where they began is kept for the wizard to tell.
class TEraseTally {
public:
  TEraseTally(TEraseOutcome& outcome, bool assumed) : out_(outcome), assumed_(assumed) {}

  void Add(bool ok, int64_t offset, int64_t bytes) {
    if (ok) {
      out_.BytesWritten += bytes;
      out_.BytesNotWritten += trailingFailed_;
      trailingFailed_ = 0;
      return;
    }
    if (trailingFailed_ == 0) failedFrom_ = offset;
    trailingFailed_ += bytes;
  }

  void Finish() {
    const bool endOfSmallerCard = out_.VolumeLength < 0 && assumed_ && out_.BytesWritten > 0;
    if (endOfSmallerCard && trailingFailed_ > 0) {
      out_.WritesStoppedAt = failedFrom_;
      out_.StopCauseUnknown = true;
    } else {
      out_.BytesNotWritten += trailingFailed_;
    }
    trailingFailed_ = 0;
  }

private:
  TEraseOutcome& out_;
  bool assumed_;
  int64_t trailingFailed_ = 0;
  int64_t failedFrom_ = 0;
};

// Word by word without a branch per byte: on a fast card this check, not the read, is what
// a block of the read-back costs.
bool AllZero(const std::vector<uint8_t>& data) {
  const size_t words = data.size() / sizeof(uint32_t);
  uint32_t any = 0;
  for (size_t i = 0; i < words; ++i) {
    uint32_t word;
    std::memcpy(&word, data.data() + i * sizeof word, sizeof word);
    any |= word;
  }
  for (size_t i = words * sizeof(uint32_t); i < data.size(); ++i) any |= data[i];
  return any == 0;
}

class TEraseLoop {
public:
  TEraseLoop(TKLDiskAccess& rda, bool assumed, bool& cancel, const TEraseHooks& hooks, TEraseOutcome& out)
      : rda_(rda), cancel_(cancel), hooks_(hooks), out_(out), tally_(out, assumed), runClusters_(RunClusters()) {
    if (hooks_.Clock) lastPump_ = hooks_.Clock();  // the pump has just run
  }

  // Hooks may raise out of here; the tally is finished all the same.
  void Run() {
    struct TFinish {
      TEraseTally& tally;
      ~TFinish() { tally.Finish(); }
    } finish{tally_};
    EnterPhase(TErasePhase::Writing);
    const int64_t end = EndBlock();
    const int64_t lastBlock = end - 1;
    rda_.SetStartCluster(0);
    NoteProgress(0, lastBlock);
    ShowProgress();
    for (int64_t first = 0; first < end;) {
      const int64_t next = std::min((first / runClusters_ + 1) * runClusters_, end);
      WriteRun(first, next);
      MoveTo(next - 1);
      NoteProgress(next - 1, lastBlock);
      if (Due()) {
        ShowProgress();
        Pump();
      }
      first = next;
      MoveTo(first);
      if (cancel_) {
        out_.Cancelled = true;
        break;
      }
    }
    ShowProgress();
    out_.EndReached = !out_.Cancelled;
  }

  // Reads the sample back, consecutive blocks in runs, and stops at the first byte that is
  // not zero or cannot be read.
  void Verify() {
    if (hooks_.BeforeVerify) hooks_.BeforeVerify();
    EnterPhase(TErasePhase::Verifying);
    const int64_t bpc = rda_.Geometry.BytesPerCluster;
    const std::vector<int64_t> sample = VerifySample((out_.BytesToCover + bpc - 1) / bpc, bpc);
    const auto count = static_cast<int64_t>(sample.size());
    // No pump of its own here: on a fast card the read-back is over before a pump is due, and
    // one pass over the queue would cost as much as the reads.
    NoteProgress(0, count);
    ShowProgress();
    for (int64_t i = 0; i < count;) {
      const int64_t blocks = ConsecutiveRun(sample, i);
      if (!VerifyRun(sample[i], blocks)) return;
      i += blocks;
      NoteProgress(i, count);
      if (Due()) {
        ShowProgress();
        Pump();
      }
      if (cancel_) {
        out_.VerifyCancelled = true;
        return;
      }
    }
    ShowProgress();
    out_.Verified = out_.BytesVerified > 0;
  }

private:
  // Whole clusters, as many as a run holds and one transfer of the drive carries; at least one.
  int64_t RunClusters() const {
    const TDiskGeometry& g = rda_.Geometry;
    const int64_t limit = std::min<int64_t>(hooks_.RunBytes, int64_t{rda_.MaxTransferSectors()} * g.BytesPerSector);
    return std::max<int64_t>(limit / std::max(g.BytesPerCluster, 1), 1);
  }

  // How many sampled blocks from sample[i] on follow one another within one run.
  int64_t ConsecutiveRun(const std::vector<int64_t>& sample, int64_t i) const {
    const int64_t first = sample[i];
    int64_t n = 1;
    while (i + n < static_cast<int64_t>(sample.size()) && n < runClusters_ && sample[i + n] == first + n) ++n;
    return n;
  }

  // The wizard's figures show what was written as a phase begins.
  void EnterPhase(TErasePhase phase) {
    TellWritten();
    if (hooks_.PhaseChanged) hooks_.PhaseChanged(phase);
    shown_ = -1;
  }

  // A run that cannot be read is read again block by block: the first unreadable one is the
  // fault, and the blocks before it count as read.
  bool VerifyRun(int64_t first, int64_t blocks) {
    const int64_t bpc = rda_.Geometry.BytesPerCluster;
    const int64_t offset = first * bpc;
    const int64_t bytes = BytesInside(first, first + blocks);
    const int32_t bps = rda_.Geometry.BytesPerSector;
    rda_.ReadSectors(first * rda_.Geometry.SectorsPerCluster, static_cast<int32_t>(bytes / bps));
    const std::vector<uint8_t>& data = rda_.ReadData();
    if (rda_.StatusCode() != dsSuccess || static_cast<int64_t>(data.size()) != bytes) {
      if (blocks > 1) return VerifyBlockByBlock(first, blocks);
      out_.VerifyFailedAt = offset;
      out_.VerifyUnreadable = true;
      if (rda_.LastSystemError() != 0) out_.LastSystemError = rda_.LastSystemError();
      return false;
    }
    if (!AllZero(data)) {
      const int64_t at = std::find_if(data.begin(), data.end(), [](uint8_t b) { return b != 0; }) - data.begin();
      out_.VerifyFailedAt = offset + at;
      out_.BytesVerified += at / bpc * bpc;
      return false;
    }
    out_.BytesVerified += bytes;
    return true;
  }

  bool VerifyBlockByBlock(int64_t first, int64_t blocks) {
    for (int64_t block = first; block < first + blocks; ++block)
      if (!VerifyRun(block, 1)) return false;
    return true;
  }

  bool Due() {
    out_.VolumeLocked = out_.VolumeLocked || rda_.Locked();
    if (!hooks_.Clock) return true;
    const uint32_t now = hooks_.Clock();
    if (now - lastPump_ < hooks_.MessageIntervalMs) return false;
    lastPump_ = now;
    return true;
  }

  void Pump() {
    TellWritten();
    if (hooks_.ProcessMessages) hooks_.ProcessMessages();
  }

  void TellWritten() {
    if (hooks_.BytesWritten) hooks_.BytesWritten(out_.BytesWritten);
  }

  void NoteProgress(int64_t counter, int64_t range) {
    counted_ = counter;
    range_ = range;
  }

  // The bar shows what it would show by the time the window next gets to paint: setting it
  // costs a repaint, so it is set only when the position changed and messages are processed.
  void ShowProgress() {
    int32_t position = 0;
    if (counted_ < 0 || !hooks_.SetProgressPosition) return;
    if (!EraseProgress(counted_, range_, position) || position == shown_) return;
    shown_ = position;
    try {
      hooks_.SetProgressPosition(position);
    } catch (...) {
      // The bar only shows how far the run is; a bar that cannot be set must not stop the erase.
    }
  }

  // The blocks the walk covers: the range, and where the volume's length is known, the rest
  // of the volume too (its last whole sector included). The bar runs over all of them: on the
  // 9x family the part past the cluster range can be most of a large card.
  int64_t EndBlock() const {
    const TDiskGeometry& g = rda_.Geometry;
    if (out_.VolumeLength < 0) return g.TotalClusters + 1;
    return std::max(g.TotalClusters + 1, (out_.BytesToCover + g.BytesPerCluster - 1) / g.BytesPerCluster);
  }

  // Bytes of blocks [first, next) that lie inside the volume, by whole sectors; all of them
  // when its length is unknown.
  int64_t BytesInside(int64_t first, int64_t next) const {
    const int64_t bpc = rda_.Geometry.BytesPerCluster;
    if (out_.VolumeLength < 0) return (next - first) * bpc;
    return std::clamp<int64_t>(out_.BytesToCover - first * bpc, 0, (next - first) * bpc);
  }

  // A write that raises is a write that failed: the tally counts it.
  template <class Write>
  bool Attempt(Write write) {
    try {
      write();
      return rda_.StatusCode() == dsSuccess;
    } catch (...) {
      return false;
    }
  }

  void Tally(bool ok, int64_t offset, int64_t bytes) {
    if (!ok && rda_.LastSystemError() != 0) out_.LastSystemError = rda_.LastSystemError();
    tally_.Add(ok, offset, bytes);
  }

  // A run that fails is written again cluster by cluster, so that what was not written is
  // known to the cluster.
  void WriteRun(int64_t first, int64_t next) {
    const int64_t bytes = BytesInside(first, next);
    if (bytes == 0) return;  // beyond the end of a volume shorter than its range
    if (next - first == 1) return WriteBlock(first);
    if (Attempt([&] { WriteZeros(first, bytes); })) return Tally(true, first * rda_.Geometry.BytesPerCluster, bytes);
    for (int64_t block = first; block < next; ++block) WriteBlock(block);
  }

  void WriteBlock(int64_t block) {
    const int64_t bpc = rda_.Geometry.BytesPerCluster;
    const int64_t bytes = BytesInside(block, block + 1);
    if (bytes == 0) return;
    if (bytes == bpc && block <= rda_.Geometry.TotalClusters) return WriteCluster(block);
    Tally(Attempt([&] { WriteZeros(block, bytes); }), block * bpc, bytes);
  }

  // While messages are processed the position names the last block written (a cancel answered
  // there stops after it), then the next one; past the range it stays at the range's end.
  void MoveTo(int64_t block) {
    if (rda_.StartCluster() != block) rda_.SetStartCluster(block);
  }

  void WriteCluster(int64_t block) {
    const int64_t bpc = rda_.Geometry.BytesPerCluster;
    MoveTo(block);
    // A refused position would write the previous block again.
    if (rda_.StartCluster() != block) return Tally(false, block * bpc, bpc);
    Tally(Attempt([&] { rda_.WriteBuffer(); }), block * bpc, bpc);
  }

  void WriteZeros(int64_t block, int64_t bytes) {
    rda_.WriteZeros(block * rda_.Geometry.SectorsPerCluster,
                    static_cast<int32_t>(bytes / rda_.Geometry.BytesPerSector));
  }

  TKLDiskAccess& rda_;
  bool& cancel_;
  const TEraseHooks& hooks_;
  TEraseOutcome& out_;
  TEraseTally tally_;
  const int64_t runClusters_;
  uint32_t lastPump_ = 0;
  int64_t counted_ = -1;  // the last block counted; -1: none yet
  int64_t range_ = 0;     // ...out of this many
  int64_t shown_ = -1;
};

TEraseRefusal RefusalFor(const TKLDiskAccess& RDA) {
  if (RDA.LogicalDrive() == 0) return TEraseRefusal::NoDrive;
  if (!EraseGeometryUsable(RDA.Geometry)) return TEraseRefusal::NoGeometry;
  return TEraseRefusal::None;
}

int64_t BytesToCover(const TDiskGeometry& g, int64_t volumeLength) {
  if (volumeLength >= 0) return volumeLength / g.BytesPerSector * g.BytesPerSector;
  return (g.TotalClusters + 1) * g.BytesPerCluster;
}

std::string ErrorText(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "Unknown error";  // an exception that carries no text of its own
  }
}

void OpenForErase(TKLDiskAccess& RDA, TEraseOutcome& out) {
  RDA.SetClusterCount(1);
  out.VolumeOpened = RDA.OpenDrive();
  out.VolumeInUse = RDA.InUse();
  out.VolumeLocked = RDA.Locked();
  out.LastSystemError = RDA.LastSystemError();
  out.VolumeLength = RDA.VolumeLength() > 0 ? RDA.VolumeLength() : -1;
  out.BytesToCover = BytesToCover(RDA.Geometry, out.VolumeLength);
  if (out.VolumeLength < 0) out.BytesNotReached = std::max<int64_t>(RDA.Geometry.TotalBytes - out.BytesToCover, 0);
}

}  // namespace

TEraseOutcome EraseSelectedDrive(TKLDiskAccess& RDA, bool AssumedGeometry, bool& CancelRequested,
                                 const TEraseHooks& Hooks) {
  TEraseOutcome out;
  out.GeometryAssumed = AssumedGeometry;
  CancelRequested = false;
  out.Refusal = RefusalFor(RDA);
  if (out.Refusal != TEraseRefusal::None) return out;
  // Whatever a hook raises, the volume is closed before the run hands back its outcome.
  try {
    OpenForErase(RDA, out);
    if (Hooks.ProcessMessages) Hooks.ProcessMessages();
    // Walking the range of a volume that did not open would write nothing while the bar moved.
    if (out.VolumeOpened) {
      TEraseLoop loop(RDA, AssumedGeometry, CancelRequested, Hooks, out);
      loop.Run();
      if (out.WriteComplete()) loop.Verify();
    }
  } catch (...) {
    out.Error = ErrorText(std::current_exception());
    out.EndReached = false;
  }
  RDA.CloseDrive();
  return out;
}

TEraseOutcome EraseCard(TKLDiskAccess& RDA, char DriveLetter, int SizeIndex, bool& CancelRequested,
                        const TEraseHooks& Hooks) {
  const bool assumed = SelectEraseDrive(RDA, DriveLetter, SizeIndex);
  return EraseSelectedDrive(RDA, assumed, CancelRequested, Hooks);
}

TEraseOutcome EraseCard(TKLDiskAccess& RDA, const TEraseTarget& Confirmed, int SizeIndex, bool& CancelRequested,
                        const TEraseHooks& Hooks) {
  RDA.SetLogicalDrive(Confirmed.Letter);
  if (RDA.LogicalDrive() != 0 && EraseTargetOf(RDA) != Confirmed) {
    CancelRequested = false;
    TEraseOutcome out;
    out.Refusal = TEraseRefusal::VolumeChanged;
    return out;
  }
  const bool assumed = TakeEraseGeometry(RDA, SizeIndex);
  return EraseSelectedDrive(RDA, assumed, CancelRequested, Hooks);
}

}  // namespace orv
