// Start-up: the time from starting a program to its first painted window (shown, then idle
// with nothing left to paint), for orvasil.exe against a minimal program showing one window
// of the same size; then orvasil's working set. Prints one line per figure.
//   startup_bench ORVASIL_EXE MINIMAL_EXE [RUNS]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Search {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK Match(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != s->pid || !IsWindowVisible(w)) return TRUE;
  s->found = w;
  return FALSE;
}

struct Run {
  double Ms = -1;
  SIZE_T WorkingSet = 0;
};

Run StartOnce(const std::string& exe) {
  Run run;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string cmd = "\"" + exe + "\"";
  LARGE_INTEGER freq, t0, t1;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&t0);
  if (!CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return run;
  Search s{pi.dwProcessId, nullptr};
  for (int i = 0; i < 60000 && !s.found; ++i) {
    EnumWindows(Match, reinterpret_cast<LPARAM>(&s));
    if (!s.found) Sleep(1);
  }
  if (s.found) {
    RedrawWindow(s.found, nullptr, nullptr, RDW_UPDATENOW);
    WaitForInputIdle(pi.hProcess, 20000);
    QueryPerformanceCounter(&t1);
    run.Ms = 1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(freq.QuadPart);
    PROCESS_MEMORY_COUNTERS mem{};
    mem.cb = sizeof mem;
    if (GetProcessMemoryInfo(pi.hProcess, &mem, sizeof mem)) run.WorkingSet = mem.WorkingSetSize;
    PostMessageA(s.found, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return run;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? -1 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_bench ORVASIL_EXE MINIMAL_EXE [RUNS]\n");
    return 2;
  }
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
  StartOnce(argv[2]);  // the first start of any program pays for loading Wine's own libraries
  std::vector<double> orvasil, minimal;
  SIZE_T workingSet = 0;
  for (int i = 0; i < runs; ++i) {
    const Run o = StartOnce(argv[1]);
    const Run m = StartOnce(argv[2]);
    if (o.Ms < 0 || m.Ms < 0) {
      std::fprintf(stderr, "startup_bench: a program showed no window\n");
      return 1;
    }
    orvasil.push_back(o.Ms);
    minimal.push_back(m.Ms);
    workingSet = std::max(workingSet, o.WorkingSet);
  }
  const double o = Median(orvasil), m = Median(minimal);
  std::printf("start-up to painted window (median of %d): orvasil %.0f ms, minimal program %.0f ms\n", runs, o, m);
  std::printf("working set after start-up: %.1f MB\n", static_cast<double>(workingSet) / (1024.0 * 1024.0));
  std::printf("startup-ratio: %.2f\n", o / m);
  return 0;
}
