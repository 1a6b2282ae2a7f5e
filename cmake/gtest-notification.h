// Included into every GoogleTest compilation of the Windows build. The win32 thread model of
// mingw-w64 has no std::mutex or std::condition_variable, on which GoogleTest builds its
// Notification; this one waits on a flag instead (GoogleTest uses it only to start its own
// helper threads in its self-tests).
#pragma once
#ifdef __cplusplus
#include <atomic>

extern "C" __declspec(dllimport) void __stdcall Sleep(unsigned long milliseconds);

namespace testing::internal {

class Notification {
public:
  void Notify() { notified_.store(true); }
  void WaitForNotification() {
    while (!notified_.load()) Sleep(1);
  }

private:
  std::atomic<bool> notified_{false};
};

}  // namespace testing::internal
#endif
