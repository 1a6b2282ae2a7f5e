// The erase on a model card: a FUSE file of ours whose every write request costs a fixed
// overhead plus its bytes at the card's bandwidth, written through the same run the wizard
// uses, natively (the volume calls go to the file through a POSIX kernel of the bench).
// A model, not a card: it shows what the size of the writes does when every command costs.
//   card_bench [card MiB]      (root: it mounts the model card)
// Prints, per overhead and cluster size, the erase cluster by cluster and in runs, each
// against the bandwidth bound; last line `card-speed-ratio: X.XX` (the worst of the runs).
#define FUSE_USE_VERSION 31
#include <fuse.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "posix_card_kernel.h"
#include "wizard/EraseRun.h"

using namespace orv;
using Clock = std::chrono::steady_clock;

namespace {

constexpr char CardName[] = "/card";
constexpr double BandwidthBytesPerSecond = 20e6;

// The model card: its bytes, its costs, and the sizes of the write requests it was sent.
struct TModelCard {
  std::vector<uint8_t> bytes;
  double overheadSeconds = 0;
  std::mutex lock;
  std::map<size_t, int64_t> writeSizes;
};
TModelCard card;

int CardGetattr(const char* path, struct stat* st, fuse_file_info*) {
  std::memset(st, 0, sizeof *st);
  if (std::strcmp(path, "/") == 0) {
    st->st_mode = S_IFDIR | 0755;
    st->st_nlink = 2;
    return 0;
  }
  if (std::strcmp(path, CardName) != 0) return -ENOENT;
  st->st_mode = S_IFREG | 0666;
  st->st_nlink = 1;
  st->st_size = static_cast<off_t>(card.bytes.size());
  return 0;
}

int CardOpen(const char* path, fuse_file_info* fi) {
  if (std::strcmp(path, CardName) != 0) return -ENOENT;
  fi->direct_io = 1;  // every write reaches the card as it was made, uncached
  return 0;
}

int CardRead(const char*, char* buf, size_t size, off_t offset, fuse_file_info*) {
  const auto at = static_cast<size_t>(offset);
  if (at >= card.bytes.size()) return 0;
  const size_t n = std::min(size, card.bytes.size() - at);
  std::memcpy(buf, card.bytes.data() + at, n);
  return static_cast<int>(n);
}

int CardWrite(const char*, const char* buf, size_t size, off_t offset, fuse_file_info*) {
  const auto start = Clock::now();
  const auto at = static_cast<size_t>(offset);
  if (at >= card.bytes.size()) return -ENOSPC;
  const size_t n = std::min(size, card.bytes.size() - at);
  std::memcpy(card.bytes.data() + at, buf, n);
  {
    std::lock_guard<std::mutex> guard(card.lock);
    ++card.writeSizes[size];
  }
  const double cost = card.overheadSeconds + static_cast<double>(size) / BandwidthBytesPerSecond;
  std::this_thread::sleep_until(start +
                                std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(cost)));
  return static_cast<int>(n);
}

void* CardInit(fuse_conn_info* conn, fuse_config* cfg) {
  cfg->direct_io = 1;
  conn->max_write = 1 << 20;
  return nullptr;
}

struct TMount {
  fuse* session = nullptr;
  std::thread loop;
  std::string dir;
};

bool MountCard(TMount& m) {
  static fuse_operations ops{};
  ops.getattr = CardGetattr;
  ops.open = CardOpen;
  ops.read = CardRead;
  ops.write = CardWrite;
  ops.init = CardInit;
  char dir[] = "/tmp/orvasil-card-XXXXXX";
  if (!mkdtemp(dir)) return false;
  m.dir = dir;
  fuse_args args = FUSE_ARGS_INIT(0, nullptr);
  fuse_opt_add_arg(&args, "card_bench");
  m.session = fuse_new(&args, &ops, sizeof ops, nullptr);
  fuse_opt_free_args(&args);
  if (!m.session || fuse_mount(m.session, dir) != 0) return false;
  // One request at a time, as a card takes its commands.
  m.loop = std::thread([s = m.session] { fuse_loop(s); });
  return true;
}

void UnmountCard(TMount& m) {
  if (!m.session) return;
  fuse_exit(m.session);
  fuse_unmount(m.session);
  if (m.loop.joinable()) m.loop.join();
  fuse_destroy(m.session);
  rmdir(m.dir.c_str());
}

struct TMeasure {
  double seconds = 0;
  bool complete = false;
  std::map<size_t, int64_t> writeSizes;
};

// One erase through the run the wizard uses; the time is the writing phase's.
TMeasure Erase(const std::string& file, int64_t cardBytes, int32_t clusterBytes, int64_t runBytes) {
  std::fill(card.bytes.begin(), card.bytes.end(), uint8_t{0xA5});
  card.writeSizes.clear();
  bench::TPosixCardKernel kernel(file, cardBytes, clusterBytes);
  TKLDiskAccess rda(nullptr, &kernel);
  bool cancel = false;
  Clock::time_point begin, end;
  TEraseHooks hooks;
  hooks.ProcessMessages = [] {};
  hooks.SetProgressPosition = [](int32_t) {};
  hooks.BytesWritten = [](int64_t) {};
  hooks.Clock = [] {
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count());
  };
  hooks.PhaseChanged = [&](TErasePhase phase) { (phase == TErasePhase::Writing ? begin : end) = Clock::now(); };
  hooks.RunBytes = runBytes;
  const TEraseOutcome out = EraseCard(rda, 'E', 0, cancel, hooks);
  TMeasure m;
  m.seconds = std::chrono::duration<double>(end - begin).count();
  m.complete = out.Complete() && std::all_of(card.bytes.begin(), card.bytes.end(), [](uint8_t b) { return b == 0; });
  std::lock_guard<std::mutex> guard(card.lock);
  m.writeSizes = card.writeSizes;
  return m;
}

std::string Sizes(const std::map<size_t, int64_t>& sizes) {
  std::string text;
  for (const auto& [size, count] : sizes) {
    if (!text.empty()) text += ", ";
    text += std::to_string(count) + " x " + std::to_string(size / 1024) + " KiB";
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const int64_t cardBytes = int64_t{argc > 1 ? std::atoi(argv[1]) : 64} << 20;
  card.bytes.assign(static_cast<size_t>(cardBytes), 0xA5);
  TMount mount;
  if (!MountCard(mount)) {
    std::fprintf(stderr, "card_bench: the model card cannot be mounted (FUSE, root)\n");
    UnmountCard(mount);
    return 77;
  }
  const std::string file = mount.dir + CardName;
  const double bound = static_cast<double>(cardBytes) / BandwidthBytesPerSecond;
  std::printf("model card: %lld MiB at %.0f MB/s, bandwidth bound %.2f s; the erase's writing phase\n",
              static_cast<long long>(cardBytes >> 20), BandwidthBytesPerSecond / 1e6, bound);
  std::printf("%-9s %-8s %-16s %9s %7s  %s\n", "overhead", "cluster", "writes", "erase s", "ratio", "requests seen");
  double worst = 1e9;
  bool allComplete = true;
  for (double overheadMs : {0.3, 1.0}) {
    card.overheadSeconds = overheadMs / 1000;
    for (int32_t cluster : {4096, 32768}) {
      for (int64_t runBytes : {int64_t{cluster}, EraseRunBytes}) {
        const TMeasure m = Erase(file, cardBytes, cluster, runBytes);
        const double ratio = bound / m.seconds;
        const bool runs = runBytes != cluster;
        if (runs) worst = std::min(worst, ratio);
        allComplete = allComplete && m.complete;
        std::printf("%6.1f ms %5d KB %-16s %9.2f %7.2f  %s%s\n", overheadMs, cluster / 1024,
                    runs ? "runs of 1 MiB" : "one cluster", m.seconds, ratio, Sizes(m.writeSizes).c_str(),
                    m.complete ? "" : "  (NOT a whole erase)");
        std::fflush(stdout);
      }
    }
  }
  UnmountCard(mount);
  std::printf("card-speed-ratio: %.2f\n", worst);
  return allComplete ? 0 : 1;
}
