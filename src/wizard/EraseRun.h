#pragma once
// The erase run without its window: it drives the wizard's drive access component block by
// block, while the wizard hands in its message pump, its progress bar and its cancel flag.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "disk/KLDisk.h"

namespace orv {

// Nominal card sizes in MB, in the order of the wizard's size list.
inline constexpr int CardSizeCount = 14;
extern const int32_t CardSizesMB[CardSizeCount];

// The geometry taken for a card that reports none: 1 KB clusters of two 512-byte sectors,
// as many as make the nominal size.
void SetAssumedGeometry(TDiskGeometry& Geometry, int32_t SizeMB);

// Whether a run can walk this geometry: whole sectors, non-empty clusters of them and a
// cluster total that is not negative. A drive whose geometry is not usable needs a size
// from the list (the wizard shows the list then).
bool EraseGeometryUsable(const TDiskGeometry& Geometry);

// The position of the progress bar for the block about to be counted; false when there is
// none to show (an empty range).
bool EraseProgress(int64_t Counter, int64_t TotalClusters, int32_t& Position);

// Why a run did not start. Nothing was opened or written then.
enum class TEraseRefusal {
  None,
  NoDrive,        // the letter names no drive (drive status dsBadDrive)
  NoGeometry,     // the drive reports no usable geometry and no card size from the list was given
  VolumeChanged,  // the letter now names another volume than the one the user confirmed
};

// What a run did, so that the wizard can tell the user the truth. Only Complete() means
// that everything the run set out to cover was written.
struct TEraseOutcome {
  TEraseRefusal Refusal = TEraseRefusal::None;
  bool GeometryAssumed = false;  // the range is the chosen nominal size, not the card's own
  bool VolumeOpened = false;     // the volume could be opened for writing
  bool VolumeLocked = false;     // ...and taken from the file system (a lock held while writing)
  bool VolumeInUse = false;      // it opened, but another program held it: nothing was written
  bool Cancelled = false;
  bool EndReached = false;    // the walk got to the end of what it set out to cover
  int64_t VolumeLength = -1;  // the volume's real length in bytes; -1 when it could not be learnt
  int64_t BytesToCover = 0;   // the range (or, where known, the volume up to its last whole sector)
  int64_t BytesWritten = 0;
  int64_t BytesNotWritten = 0;  // within the volume's real extent
  // Where the volume's length is unknown: bytes the drive's own figures put past the range,
  // which the run never reached (a least amount; 0 when those figures tell of none).
  int64_t BytesNotReached = 0;
  // With an assumed size and no known length: from this byte offset to the end of the chosen
  // size every write failed, and those bytes are not in BytesNotWritten. The run cannot tell a
  // smaller card from one that was removed, is write-protected or failing; StopCauseUnknown
  // says so. -1 when writes did not stop that way.
  int64_t WritesStoppedAt = -1;
  bool StopCauseUnknown = false;
  // The system's error code behind the last failed open or write (KLDisk's LastSystemError);
  // 0 when the system named none.
  uint32_t LastSystemError = 0;
  // A hook (message pump or clock) raised: the run stopped there and the volume was closed.
  // The error's own text; empty when none raised.
  std::string Error;

  // The read-back, done only after a run that wrote everything (WriteComplete): a sample of
  // the covered bytes (VerifySample) is read and must be all zero. It stops at the first fault.
  bool Verified = false;          // the whole sample was read and was zero
  int64_t BytesVerified = 0;      // bytes read back and found zero
  int64_t VerifyFailedAt = -1;    // byte offset of the first byte not zero or unreadable; -1: none
  bool VerifyUnreadable = false;  // the fault at VerifyFailedAt is a read that failed
  bool VerifyCancelled = false;   // the user cancelled during the read-back (all was written)

  // The range is the drive's own, not a size the user chose, and where the volume ends could
  // not be learnt: what lies past the range stayed as it was.
  bool EndUnknown() const { return VolumeLength < 0 && !GeometryAssumed; }
  // Every byte the run set out to cover was written.
  bool WriteComplete() const {
    return Refusal == TEraseRefusal::None && VolumeOpened && EndReached && !Cancelled && Error.empty() &&
           BytesNotWritten == 0 && WritesStoppedAt < 0 && BytesWritten == BytesToCover && BytesToCover > 0;
  }
  // ...and the card read back as zero: only then is the card known to be erased.
  bool Complete() const { return WriteComplete() && Verified && !EndUnknown(); }
};

// The most bytes one write of the run carries. A card behind a reader pays a fixed cost per
// command besides the transfer, so the run writes many clusters per call: runs of whole
// clusters, each starting at a multiple of the run's size from the volume's start (whole
// allocation units of a card partitioned on such boundaries). 1 MiB takes about a quarter of a
// second on a 4 MB/s card, which bounds how long a cancel waits. The drive's own limit per
// transfer (TKLDiskAccess::MaxTransferSectors) can make runs shorter.
inline constexpr int64_t EraseRunBytes = 1 << 20;

// What the run is doing, for the wizard's caption; the progress bar starts again from 0
// with each phase.
enum class TErasePhase { Writing, Verifying };

struct TEraseHooks {
  std::function<void()> ProcessMessages;
  std::function<void(int32_t)> SetProgressPosition;  // called when the position changes
  // Bytes written so far, told as each phase begins and before each pass over the message queue.
  std::function<void(int64_t)> BytesWritten;
  // A millisecond clock (GetTickCount). With one, pending messages are processed after a
  // block only when MessageIntervalMs have passed since the last time; without, after every
  // block. One pass over the message queue costs several times a one-cluster write.
  std::function<uint32_t()> Clock;
  uint32_t MessageIntervalMs = 30;
  // Called as the run enters each phase: Writing before the first block, Verifying before
  // the read-back. Raising stops the run like a raising message pump.
  std::function<void(TErasePhase)> PhaseChanged;
  // The most bytes a write, and a read of the read-back, carries (never less than a cluster).
  // The program keeps EraseRunBytes; one cluster makes the run write cluster by cluster.
  int64_t RunBytes = EraseRunBytes;
  // For tests only, never set by the program: runs after the last write, before the read-back,
  // while the volume is still open (a test changes the card behind the run's back here).
  std::function<void()> BeforeVerify;
};

// The read-back's sample at its fullest: the first and the last VerifyEdgeBlocks blocks and
// VerifySpreadBlocks spread evenly between them.
inline constexpr int64_t VerifyEdgeBlocks = 64;
inline constexpr int64_t VerifySpreadBlocks = 256;
// What keeps it cheap: it reads no more than 1/VerifyShareDivisor of the covered bytes
// (reading a block costs about twice writing one, so a few per cent of the erase's time) and
// no more than VerifyMaxBytes (two seconds on a card that reads 2 MB/s), but never fewer than
// VerifyMinBlocks blocks.
inline constexpr int64_t VerifyShareDivisor = 64;
inline constexpr int64_t VerifyMaxBytes = 4 * 1024 * 1024;
inline constexpr int64_t VerifyMinBlocks = 24;

// The blocks (BlockBytes-sized pieces from the volume's start) that the read-back reads out
// of the first Blocks ones, ascending: all of them when there are no more than the sample
// holds; else the first and the last sixth of the sample at the two ends and the rest spread
// evenly between, the very first and the very last block always among them.
std::vector<int64_t> VerifySample(int64_t Blocks, int64_t BlockBytes);

// What the user confirmed: the letter and what tells its volume from another card put in
// under the same letter or a drive that took the letter over.
struct TEraseTarget {
  char Letter = 0;
  int64_t TotalBytes = 0;
  int64_t TotalClusters = 0;
  uint32_t SerialNumber = 0;
  bool operator==(const TEraseTarget&) const = default;
};

// The target as the selected drive reports it now (before any geometry is assumed).
TEraseTarget EraseTargetOf(const TKLDiskAccess& RDA);

// Selects the drive and, when it reports no usable geometry, takes one: from the volume's
// size where the drive reported that, else the one of the chosen size (SizeIndex into
// CardSizesMB; an index outside leaves the geometry unusable). Answers whether the range is
// the chosen size rather than the card's own.
bool SelectEraseDrive(TKLDiskAccess& RDA, char DriveLetter, int SizeIndex);

// Zeroes the selected drive: the cluster range of its geometry, then, where the volume's
// real length is known, the rest of the volume; after a run that wrote everything, reads a
// sample back. Refuses to start without a drive or a usable geometry. The volume is closed on
// every way out.
TEraseOutcome EraseSelectedDrive(TKLDiskAccess& RDA, bool AssumedGeometry, bool& CancelRequested,
                                 const TEraseHooks& Hooks);

// The whole run behind the wizard's RunErase.
TEraseOutcome EraseCard(TKLDiskAccess& RDA, char DriveLetter, int SizeIndex, bool& CancelRequested,
                        const TEraseHooks& Hooks);
// ...for a drive the user confirmed: refused, with nothing opened, unless the letter still
// holds that very volume.
TEraseOutcome EraseCard(TKLDiskAccess& RDA, const TEraseTarget& Confirmed, int SizeIndex, bool& CancelRequested,
                        const TEraseHooks& Hooks);

}  // namespace orv
