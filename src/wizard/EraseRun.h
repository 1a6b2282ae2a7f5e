#pragma once
// The erase run without its window: it drives the wizard's drive access component block by
// block, while the wizard hands in its message pump, its progress bar and its cancel flag.
#include <cstdint>
#include <functional>

#include "disk/KLDisk.h"

namespace orv {

// Nominal card sizes in MB, in the order of the wizard's size list.
inline constexpr int CardSizeCount = 14;
extern const int32_t CardSizesMB[CardSizeCount];

// The geometry taken for a card that reports none: 1 KB clusters of two 512-byte sectors,
// as many as make the nominal size.
void SetAssumedGeometry(TDiskGeometry& Geometry, int32_t SizeMB);

// The position of the progress bar for the block about to be counted; false when there is
// none to show (an empty range).
bool EraseProgress(int64_t Counter, int64_t TotalClusters, int32_t& Position);

// What a run did, so that the wizard can tell the user the truth.
struct TEraseOutcome {
  bool VolumeOpened = false;   // the volume could be opened for writing
  bool VolumeLocked = false;   // ...and taken from the file system (a lock held while writing)
  bool VolumeInUse = false;    // it opened, but another program held it: nothing was written
  bool Cancelled = false;
  int64_t VolumeLength = -1;   // the volume's real length in bytes; -1 when it could not be learnt
  int64_t BytesWritten = 0;
  int64_t BytesNotWritten = 0; // within the volume's real extent
};

struct TEraseHooks {
  std::function<void()> ProcessMessages;
  std::function<void(int32_t)> SetProgressPosition;  // called when the position changes
  // A millisecond clock (GetTickCount). With one, pending messages are processed after a
  // block only when MessageIntervalMs have passed since the last time; without, after every
  // block. One pass over the message queue costs several times a one-cluster write.
  std::function<uint32_t()> Clock;
  uint32_t MessageIntervalMs = 30;
};

// Selects the drive and, when it reports no geometry, assumes the one of the chosen size.
// Answers whether the geometry was assumed.
bool SelectEraseDrive(TKLDiskAccess& RDA, char DriveLetter, int SizeIndex);

// Zeroes the selected drive: the cluster range of its geometry, then, where the volume's
// real length is known, the rest of the volume.
TEraseOutcome EraseSelectedDrive(TKLDiskAccess& RDA, bool AssumedGeometry, bool& CancelRequested,
                                 const TEraseHooks& Hooks);

// The whole run behind the wizard's RunErase.
TEraseOutcome EraseCard(TKLDiskAccess& RDA, char DriveLetter, int SizeIndex, bool& CancelRequested,
                        const TEraseHooks& Hooks);

}  // namespace orv
