// The erase run with the real Win32 kernel on the virtual card reader (scripts/lib/vcard):
// the card's image is read back through its Unix path after each run.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "disk/KLDiskKernel.h"
#include "test_files.h"
#include "wizard/EraseRun.h"

using namespace orv;

namespace {

constexpr uint8_t Fill = 0xA5;
constexpr int64_t ClusterBytes = 4096;  // Wine answers 8 sectors of 512 bytes for a tmpfs

// Owners, so that a failing assertion leaves no handle or window behind for the next test.
struct HandleCloser {
  void operator()(HANDLE h) const {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
using OwnedHandle = std::unique_ptr<void, HandleCloser>;
struct WindowDestroyer {
  void operator()(HWND w) const { DestroyWindow(w); }
};
using OwnedWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

using testsupport::CardImagePath;
using testsupport::CardLetter;
using testsupport::FirstNot;
using testsupport::ReadCardImage;

bool Win98Mode() { return Win32DiskKernel().PlatformVersion().PlatformId == VER_PLATFORM_WIN32_WINDOWS; }

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

class VirtualCard : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("ORVASIL_CARD_IMAGE"), nullptr) << "run through scripts/lib/vcard";
    before = ReadCardImage();
    DWORD spc = 0, bps = 0, freeClusters = 0, clusters = 0;
    ASSERT_TRUE(
        GetDiskFreeSpaceA((std::string(1, CardLetter()) + ":\\").c_str(), &spc, &bps, &freeClusters, &clusters));
    ASSERT_EQ(spc * bps, ClusterBytes);
    RangeBytes = (clusters + int64_t{1}) * ClusterBytes;
    ASSERT_GT(static_cast<int64_t>(before.size()), RangeBytes);
    ASSERT_EQ(FirstNot(before, 0, before.size(), Fill), -1);
    hooks.ProcessMessages = PumpMessages;
    hooks.SetProgressPosition = [this](int32_t p) { positions.push_back(p); };
  }

  TEraseOutcome Erase(int sizeIndex = 0) { return EraseCard(rda, CardLetter(), sizeIndex, cancel, hooks); }

  TKLDiskAccess rda{nullptr, &Win32DiskKernel()};
  bool cancel = false;
  TEraseHooks hooks;
  std::vector<int32_t> positions;
  std::vector<uint8_t> before;
  int64_t RangeBytes = 0;  // blocks 0 to the cluster total
};

TEST_F(VirtualCard, ErasesExactlyWhatItShouldAndNothingElse) {
  const TEraseOutcome out = Erase(13);
  EXPECT_EQ(rda.Geometry.BytesPerCluster, ClusterBytes);
  EXPECT_EQ((rda.Geometry.TotalClusters + 1) * ClusterBytes, RangeBytes);
  const std::vector<uint8_t> after = ReadCardImage();
  ASSERT_EQ(after.size(), before.size());
  EXPECT_TRUE(out.VolumeOpened);
  EXPECT_TRUE(out.VolumeLocked);
  EXPECT_FALSE(out.Cancelled);
  EXPECT_EQ(out.BytesNotWritten, 0);
  ASSERT_FALSE(positions.empty());
  EXPECT_EQ(positions.back(), 100);
  // The card was read back: the whole sample of what was written, all zero.
  EXPECT_TRUE(out.Verified);
  // Wine's 9x services tell no length of the card (their boot sector is another volume's):
  // what lies past the range stays unknown, and such a run is not a whole erase.
  EXPECT_EQ(out.Complete(), !Win98Mode());
  EXPECT_EQ(out.EndUnknown(), Win98Mode());
  EXPECT_EQ(out.VerifyFailedAt, -1);
  const auto sampled =
      static_cast<int64_t>(VerifySample((out.BytesToCover + ClusterBytes - 1) / ClusterBytes, ClusterBytes).size());
  EXPECT_GT(out.BytesVerified, (sampled - 1) * ClusterBytes);
  EXPECT_LE(out.BytesVerified, sampled * ClusterBytes);
  const int64_t size = static_cast<int64_t>(after.size());
  if (Win98Mode()) {
    // The 9x services tell no volume length: the cluster range is all that is zeroed.
    EXPECT_EQ(out.VolumeLength, -1);
    EXPECT_EQ(FirstNot(after, 0, RangeBytes, 0), -1);
    EXPECT_EQ(FirstNot(after, RangeBytes, size, Fill), -1);
    EXPECT_EQ(out.BytesWritten, RangeBytes);
  } else {
    // The whole volume up to its last whole sector.
    const int64_t sectors = size / 512 * 512;
    EXPECT_EQ(out.VolumeLength, size);
    EXPECT_EQ(FirstNot(after, 0, sectors, 0), -1);
    EXPECT_EQ(FirstNot(after, sectors, size, Fill), -1);
    EXPECT_EQ(out.BytesWritten, sectors);
  }
}

// The answer to the cancel question, delivered by the run's message pump.
struct CancelAnswer {
  bool* cancel;
  const TKLDiskAccess* rda;
  int64_t block = -1;  // the block in whose pass it was answered
};

LRESULT CALLBACK CancelProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_APP) {
    auto* answer = reinterpret_cast<CancelAnswer*>(lp);
    *answer->cancel = true;
    answer->block = answer->rda->StartCluster();
    return 0;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

// Changes the card's image through its Unix path, as another program or a failing card would.
void RewriteImage(int64_t offset, const std::string& bytes) {
  std::fstream image(CardImagePath(), std::ios::binary | std::ios::in | std::ios::out);
  image.seekp(offset);
  image.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void TruncateImage(int64_t size) {
  OwnedHandle file(CreateFileA(CardImagePath().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr));
  LARGE_INTEGER at;
  at.QuadPart = size;
  SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN);
  SetEndOfFile(file.get());
}

// What the run covers: on the NT family the volume to its last whole sector, on the 9x family
// (which tells no length) the cluster range.
int64_t CoveredBytes(const std::vector<uint8_t>& image, int64_t range) {
  return Win98Mode() ? range : static_cast<int64_t>(image.size()) / 512 * 512;
}

TEST_F(VirtualCard, BytesRewrittenAfterTheWritesFailTheReadBackAtTheFirstOne) {
  const int64_t covered = CoveredBytes(before, RangeBytes);
  // In the first blocks, and the very last byte the run covers.
  for (int64_t at : {int64_t{3 * ClusterBytes + 5}, covered - 1}) {
    hooks.BeforeVerify = [at] { RewriteImage(at, "\x5A\x5A"); };
    const TEraseOutcome out = Erase();
    EXPECT_TRUE(out.WriteComplete());
    EXPECT_FALSE(out.Verified);
    EXPECT_FALSE(out.Complete());
    EXPECT_FALSE(out.VerifyUnreadable);
    EXPECT_EQ(out.VerifyFailedAt, at);
    EXPECT_FALSE(rda.Opened());
  }
}

TEST_F(VirtualCard, ACardThatCannotBeReadBackFailsTheReadBack) {
  const int64_t covered = CoveredBytes(before, RangeBytes);
  const int64_t end = 100 * ClusterBytes + 1000;  // the card now ends inside block 100
  hooks.BeforeVerify = [end] { TruncateImage(end); };
  const TEraseOutcome out = Erase();
  int64_t firstShort = -1, readBefore = 0;
  for (int64_t b : VerifySample((covered + ClusterBytes - 1) / ClusterBytes, ClusterBytes)) {
    if ((b + 1) * ClusterBytes > end) {
      firstShort = b * ClusterBytes;
      break;
    }
    readBefore += ClusterBytes;
  }
  EXPECT_TRUE(out.WriteComplete());
  EXPECT_FALSE(out.Verified);
  EXPECT_FALSE(out.Complete());
  EXPECT_EQ(out.BytesVerified, readBefore);
  if (Win98Mode()) {
    // Wine's INT 25h answers success for sectors past the end and brings nothing for them:
    // what it did not bring is not taken for zeros. The fault is the card's new end, or the
    // first sampled block past it.
    EXPECT_FALSE(out.VerifyUnreadable);
    EXPECT_EQ(out.VerifyFailedAt, std::max(end, firstShort));
  } else {
    EXPECT_TRUE(out.VerifyUnreadable);
    EXPECT_EQ(out.VerifyFailedAt, firstShort);
  }
}

// The 9x services open the card anew for every read: a card pulled out after the writes.
// Wine's INT 25h then answers success and brings nothing, which must not pass for zeros.
TEST_F(VirtualCard, ACardGoneAfterTheWritesFailsTheReadBackAtItsStart) {
  if (!Win98Mode()) GTEST_SKIP() << "the NT family reads through the handle the writes used";
  hooks.BeforeVerify = [] { ASSERT_TRUE(DeleteFileA(CardImagePath().c_str())); };
  const TEraseOutcome out = Erase();
  EXPECT_TRUE(out.WriteComplete());
  EXPECT_FALSE(out.Verified);
  EXPECT_FALSE(out.Complete());
  EXPECT_EQ(out.VerifyFailedAt, 0);
  EXPECT_EQ(out.BytesVerified, 0);
}

TEST_F(VirtualCard, CancelConfirmedMidRunStopsAfterThatBlock) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = CancelProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "OrvasilCancelProbe";
  RegisterClassA(&wc);
  OwnedWindow window(
      CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr));
  ASSERT_NE(window, nullptr);
  HWND wnd = window.get();
  // Yes is posted when the bar first shows 40 % or more (it moves a run at a time) and
  // arrives in the pass whose pump delivers it.
  CancelAnswer answer{&cancel, &rda};
  bool posted = false;
  hooks.SetProgressPosition = [&](int32_t p) {
    positions.push_back(p);
    if (p >= 40 && !std::exchange(posted, true)) PostMessageA(wnd, WM_APP, 0, reinterpret_cast<LPARAM>(&answer));
  };
  const TEraseOutcome out = Erase();
  window.reset();
  EXPECT_TRUE(out.Cancelled);
  ASSERT_GE(answer.block, 0);
  const int64_t end = (answer.block + 1) * ClusterBytes;
  EXPECT_EQ(out.BytesWritten, end);
  EXPECT_LT(end, RangeBytes);
  const std::vector<uint8_t> after = ReadCardImage();
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(FirstNot(after, 0, end, 0), -1);
  EXPECT_EQ(FirstNot(after, end, after.size(), Fill), -1);
  EXPECT_FALSE(rda.Opened());
}

TEST_F(VirtualCard, VolumeThatCannotBeOpenedIsNotWrittenAndSaysSo) {
  if (Win98Mode()) GTEST_SKIP() << "9x opens no volume, and Wine's INT 26h answers success when it cannot write";
  // Another program holds the volume and shares it with nobody.
  const std::string device = std::string("\\\\.\\") + CardLetter() + ":";
  OwnedHandle holder(CreateFileA(device.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_NE(holder.get(), INVALID_HANDLE_VALUE);
  const TEraseOutcome out = Erase();
  holder.reset();
  EXPECT_EQ(out.BytesWritten, 0);
  EXPECT_FALSE(out.VolumeOpened);
  EXPECT_FALSE(out.VolumeInUse);
  EXPECT_TRUE(positions.empty());
  EXPECT_TRUE(ReadCardImage() == before);
}

TEST_F(VirtualCard, VolumeShorterThanItsClusterRangeIsNotGrown) {
  if (Win98Mode()) GTEST_SKIP() << "the 9x services tell no volume length to stop at";
  const int64_t size = 6 * 1024 * 1024 + 1024;
  OwnedHandle file(CreateFileA(CardImagePath().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_NE(file.get(), INVALID_HANDLE_VALUE);
  LARGE_INTEGER at;
  at.QuadPart = size;
  ASSERT_TRUE(SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) && SetEndOfFile(file.get()));
  file.reset();
  const TEraseOutcome out = Erase();
  const std::vector<uint8_t> after = ReadCardImage();
  ASSERT_EQ(static_cast<int64_t>(after.size()), size);
  EXPECT_EQ(FirstNot(after, 0, size, 0), -1);
  EXPECT_EQ(out.BytesWritten, size);
  EXPECT_EQ(out.BytesNotWritten, 0);
}

TEST_F(VirtualCard, RunsInTheWindowsFamilyItWasStartedFor) {
  const char* win98 = std::getenv("ORVASIL_CARD_WIN98");
  ASSERT_NE(win98, nullptr);
  EXPECT_EQ(Win98Mode(), std::string(win98) == "true");
}

TEST_F(VirtualCard, LetterWithoutADriveIsRefused) {
  rda.SetLogicalDrive('q');
  EXPECT_EQ(rda.StatusCode(), 2);
  EXPECT_EQ(rda.LogicalDrive(), 0);
  rda.SetLogicalDrive(static_cast<char>(CardLetter() + 'a' - 'A'));
  EXPECT_EQ(rda.StatusCode(), 9999);
  EXPECT_EQ(rda.DevicePath(), std::string("\\\\.\\") + CardLetter() + ":");
  EXPECT_EQ(rda.Geometry.BytesPerSector, 512);
}

}  // namespace
