// Erase throughput and memory on the virtual card (run by scripts/bench under Wine).
//   erase_bench throughput   the erase loop (message pump, progress bar) against bare writes
//   erase_bench memory       one whole erase, then the peak working set
//   erase_bench wizard       the erase through the wizard itself (its labels, figures, taskbar
//                            and message pump) against bare writes
//   erase_bench verify       the read-back against the erase, and its cost on a slow card
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <winioctl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "disk/KLDiskKernel.h"
#include "gui/Forms.h"
#include "shell/KLShellCtrls.h"
#include "sys/KLSysUtils.h"
#include "wizard/EraseRun.h"
#include "win_env.h"
#include "wizard/ShredF.h"

using namespace orv;

namespace {

using testsupport::CardLetter;

double Seconds() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Until the GUI layer's message pump arrives, the plain loop it will run.
void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// A window with a progress bar, as the wizard's Installing page has.
struct ProgressWindow {
  HWND frame = nullptr;
  HWND bar = nullptr;

  ProgressWindow() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    frame = CreateWindowExA(0, "STATIC", "Orvasil bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 120, nullptr,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
    bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 10, 360, 20, frame, nullptr,
                          GetModuleHandleA(nullptr), nullptr);
    PumpMessages();
  }
  ~ProgressWindow() { DestroyWindow(frame); }

  // Time spent in the pump and in the bar, and how often each ran.
  int pumps = 0, sets = 0;
  double pumpSeconds = 0, setSeconds = 0;

  TEraseHooks Hooks() {
    TEraseHooks hooks;
    hooks.ProcessMessages = [this] {
      const double start = Seconds();
      PumpMessages();
      pumpSeconds += Seconds() - start;
      ++pumps;
    };
    hooks.SetProgressPosition = [this](int32_t position) {
      const double start = Seconds();
      SendMessageA(bar, PBM_SETPOS, position, 0);
      setSeconds += Seconds() - start;
      ++sets;
    };
    hooks.Clock = [] { return static_cast<uint32_t>(GetTickCount()); };
    return hooks;
  }

  void ResetCounts() {
    pumps = sets = 0;
    pumpSeconds = setSeconds = 0;
  }
};

struct Pass {
  int64_t blocks = 0;
  double seconds = 0;  // the writes only
  double verifySeconds = 0;
  int64_t bytesVerified = 0;
  bool verified = false;
  double Rate() const { return seconds > 0 ? blocks / seconds : 0; }
};

// The run as the wizard drives it, on a geometry of `clusterBytes` covering the whole card
// (0: the card's own geometry).
Pass RunLoop(TEraseHooks hooks, int32_t clusterBytes, int64_t cardBytes) {
  TKLDiskAccess rda(nullptr, &Win32DiskKernel());
  SelectEraseDrive(rda, CardLetter(), 0);
  if (clusterBytes > 0) {
    rda.Geometry.SectorsPerCluster = clusterBytes / rda.Geometry.BytesPerSector;
    rda.Geometry.BytesPerCluster = clusterBytes;
    rda.Geometry.TotalClusters = cardBytes / clusterBytes - 1;
  }
  bool cancel = false;
  double verifyStart = 0;
  hooks.PhaseChanged = [&](TErasePhase phase) {
    if (phase == TErasePhase::Verifying) verifyStart = Seconds();
  };
  const double start = Seconds();
  const TEraseOutcome out = EraseSelectedDrive(rda, false, cancel, hooks);
  const double end = Seconds();
  Pass pass;
  pass.seconds = (verifyStart > 0 ? verifyStart : end) - start;
  pass.verifySeconds = verifyStart > 0 ? end - verifyStart : 0;
  pass.blocks = out.BytesWritten / rda.Geometry.BytesPerCluster;
  pass.bytesVerified = out.BytesVerified;
  pass.verified = out.Verified;
  if (out.BytesNotWritten != 0 || out.BytesWritten != cardBytes)
    std::printf("warning: the run wrote %lld of %lld bytes\n", static_cast<long long>(out.BytesWritten),
                static_cast<long long>(cardBytes));
  return pass;
}

// The same positioned one-cluster writes with nothing around them.
Pass BareLoop(int32_t clusterBytes, int64_t cardBytes) {
  const std::string path = std::string("\\\\.\\") + CardLetter() + ":";
  std::vector<char> zeros(clusterBytes, 0);
  Pass pass;
  const double start = Seconds();
  HANDLE volume = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (volume == INVALID_HANDLE_VALUE) return pass;
  DWORD returned = 0;
  DeviceIoControl(volume, FSCTL_LOCK_VOLUME, nullptr, 0, nullptr, 0, &returned, nullptr);
  for (int64_t offset = 0; offset < cardBytes; offset += clusterBytes) {
    LONG high = static_cast<LONG>(offset >> 32);
    SetFilePointer(volume, static_cast<LONG>(offset & 0xFFFFFFFF), &high, FILE_BEGIN);
    DWORD written = 0;
    if (WriteFile(volume, zeros.data(), clusterBytes, &written, nullptr) && written == DWORD(clusterBytes))
      ++pass.blocks;
  }
  DeviceIoControl(volume, FSCTL_UNLOCK_VOLUME, nullptr, 0, nullptr, 0, &returned, nullptr);
  CloseHandle(volume);
  pass.seconds = Seconds() - start;
  return pass;
}

int64_t CardBytes() {
  const std::string path = std::string("\\\\.\\") + CardLetter() + ":";
  HANDLE volume = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  LARGE_INTEGER size{};
  GetFileSizeEx(volume, &size);
  CloseHandle(volume);
  return size.QuadPart;
}

// Where the time of one pass goes: the loop alone, with the message pump after every block,
// with the progress bar alone.
void Breakdown(ProgressWindow& window, int32_t cluster, int64_t card, const Pass& run, const Pass& bare) {
  TEraseHooks everyBlock = window.Hooks();
  everyBlock.Clock = nullptr;
  everyBlock.SetProgressPosition = nullptr;
  TEraseHooks barOnly = window.Hooks();
  barOnly.ProcessMessages = nullptr;
  const Pass alone = RunLoop({}, cluster, card);
  window.ResetCounts();
  const Pass paced = RunLoop(window.Hooks(), cluster, card);
  const int pacedPumps = window.pumps, pacedSets = window.sets;
  const double pacedPumpMs = window.pumpSeconds * 1e3, pacedSetMs = window.setSeconds * 1e3;
  const Pass pump = RunLoop(everyBlock, cluster, card);
  const Pass bar = RunLoop(barOnly, cluster, card);
  auto us = [](const Pass& p) { return p.blocks > 0 ? p.seconds * 1e6 / p.blocks : 0; };
  std::printf(
      "  per block: write %.2f us; erase loop without window calls %.2f us, with them %.2f us "
      "(pump every %u ms: %d pumps, %.1f ms; bar: %d sets, %.1f ms; of a %.0f ms run)\n",
      us(bare), us(alone), us(run), TEraseHooks{}.MessageIntervalMs, pacedPumps, pacedPumpMs, pacedSets, pacedSetMs,
      paced.seconds * 1e3);
  std::printf(
      "  the pump after every block instead: %.2f us more per block (ratio %.2f); the bar alone: "
      "%.2f us more\n",
      us(pump) - us(alone), us(bare) / us(pump), us(bar) - us(alone));
}

int Throughput() {
  ProgressWindow window;
  const int64_t card = CardBytes();
  double lowest = 1e9;
  for (int32_t cluster : {1024, 4096}) {
    Pass run, bare;
    for (int round = 0; round < 3; ++round) {  // best of three, alternating
      Pass r = RunLoop(window.Hooks(), cluster, card);
      Pass b = BareLoop(cluster, card);
      if (r.Rate() > run.Rate()) run = r;
      if (b.Rate() > bare.Rate()) bare = b;
    }
    const double ratio = bare.Rate() > 0 ? run.Rate() / bare.Rate() : 0;
    lowest = std::min(lowest, ratio);
    std::printf("%d KB clusters, %lld blocks: erase loop %.0f blocks/s, bare writes %.0f blocks/s, ratio %.2f\n",
                cluster / 1024, static_cast<long long>(run.blocks), run.Rate(), bare.Rate(), ratio);
    Breakdown(window, cluster, card, run, bare);
  }
  std::printf("erase-loop-ratio: %.2f\n", lowest);
  return 0;
}

double PeakMB() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakWorkingSetSize / (1024.0 * 1024.0);
}

int Memory() {
  ProgressWindow window;
  TKLDiskAccess rda(nullptr, &Win32DiskKernel());
  const double before = PeakMB();
  bool cancel = false;
  TEraseHooks hooks = window.Hooks();
  const TEraseOutcome out = EraseCard(rda, CardLetter(), 0, cancel, hooks);
  std::printf("%lld MB card: %lld bytes zeroed, peak working set %.1f MB (%.1f MB before the run)\n",
              static_cast<long long>(out.VolumeLength >> 20), static_cast<long long>(out.BytesWritten), PeakMB(),
              before);
  return out.BytesNotWritten == 0 && out.BytesWritten > 0 ? 0 : 1;
}

int gBoxes = 0;
int32_t AnswerYes(const std::string&, const std::string&, int32_t, int32_t, std::span<const TKLMsgButton>) {
  ++gBoxes;
  return mrYes;
}

// One run of the wizard on its Installing page, as Start and Yes begin it: the page's labels,
// figures, progress bar, taskbar and message pump all take part.
Pass WizardPass(TShredForm* wizard, int32_t& clusterBytes) {
  wizard->RestartBtn->Click();
  const int card = wizard->DriveBox->ShownDrives().IndexOf(std::string(1, CardLetter()) + ":\\");
  wizard->DriveBox->SetItemIndex(card);
  wizard->DriveBox->Change();
  CurrentPage = pgInstalling;
  wizard->ActivePageChanged();
  Application->ProcessMessages();
  gBoxes = 0;
  const double start = Seconds();
  wizard->RunErase();
  Pass pass;
  pass.seconds = Seconds() - start;
  clusterBytes = wizard->RDA->Geometry.BytesPerCluster;
  pass.blocks = clusterBytes > 0 ? wizard->LastOutcome().BytesWritten / clusterBytes : 0;
  if (gBoxes != 0 || !wizard->LastOutcome().Complete()) std::printf("warning: the run was not complete\n");
  return pass;
}

int WizardThroughput() {
  testsupport::StartUnits({.Application = true, .Title = "Orvasil", .English = true});
  MessageBoxProc = AnswerYes;
  TForm* main = nullptr;
  Application->CreateForm(main);
  TShredForm* wizard = nullptr;
  Application->CreateForm(wizard);
  wizard->Show();
  Application->ProcessMessages();
  const int64_t card = CardBytes();
  Pass run, bare;
  int32_t cluster = 0;
  for (int round = 0; round < 3; ++round) {  // best of three, alternating
    Pass r = WizardPass(wizard, cluster);
    Pass b = BareLoop(cluster, card);
    if (r.Rate() > run.Rate()) run = r;
    if (b.Rate() > bare.Rate()) bare = b;
  }
  const double ratio = bare.Rate() > 0 ? run.Rate() / bare.Rate() : 0;
  std::printf(
      "wizard, %d KB clusters, %lld blocks: erase %.0f blocks/s, bare writes %.0f blocks/s, ratio %.2f\n"
      "  (the wizard's run without the page changes around it)\n",
      cluster / 1024, static_cast<long long>(run.blocks), run.Rate(), bare.Rate(), ratio);
  std::printf("wizard-erase-ratio: %.2f\n", ratio);
  MessageBoxProc = ShowMessageBox;
  testsupport::EndUnits();
  return 0;
}

// The read-back on the card's own geometry and on large clusters, against the erase; and what
// the same sample costs on a card that reads 2 MB/s.
int Verify() {
  ProgressWindow window;
  const int64_t card = CardBytes();
  double worst = 0;
  for (int32_t cluster : {0, 32768}) {
    const Pass pass = RunLoop(window.Hooks(), cluster, card);
    const Pass bare = RunLoop({}, cluster, card);
    const double share = pass.seconds > 0 ? pass.verifySeconds / pass.seconds * 100 : 0;
    worst = std::max(worst, share);
    std::printf(
        "%lld MB card, %s: erase %.1f ms, read-back of %.2f MB %.2f ms (%.1f %% of the erase)%s; "
        "without window calls: erase %.1f ms, read-back %.2f ms\n",
        static_cast<long long>(card >> 20), cluster ? "32 KB clusters" : "its own 4 KB clusters", pass.seconds * 1e3,
        pass.bytesVerified / 1048576.0, pass.verifySeconds * 1e3, share, pass.verified ? "" : ", NOT VERIFIED",
        bare.seconds * 1e3, bare.verifySeconds * 1e3);
  }
  // The sample of a 1 GB card at each cluster size.
  for (int32_t kb : {1, 4, 16, 32, 64}) {
    const int64_t blockBytes = kb * int64_t{1024};
    const auto sampled = static_cast<int64_t>(VerifySample((int64_t{1} << 30) / blockBytes, blockBytes).size());
    const double mb = static_cast<double>(sampled * blockBytes) / 1048576.0;
    std::printf("  a 1 GB card reading 2 MB/s, %d KB clusters: %lld blocks, %.2f MB, %.2f s\n", kb,
                static_cast<long long>(sampled), mb, mb / 2);
  }
  std::printf("verify-share: %.1f %%\n", worst);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "throughput") return Throughput();
  if (mode == "memory") return Memory();
  if (mode == "wizard") return WizardThroughput();
  if (mode == "verify") return Verify();
  std::fprintf(stderr, "usage: erase_bench throughput|memory|verify|wizard\n");
  return 2;
}
