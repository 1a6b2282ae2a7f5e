#include "gui_env.h"

#include <memory>

#include "gui/Forms.h"
#include "units_env.h"

namespace guitest {

namespace {

// The window that runs the queued functions; it goes before the units end.
std::unique_ptr<orv::TUtilWindow> gPoster;

[[maybe_unused]] auto* const kUnits = testsupport::AddUnitsEnvironment({}, {}, [] { gPoster.reset(); });

constexpr UINT kRunQueued = WM_APP + 7;

}  // namespace

void RunFromMessageLoop(std::function<void()> fn) {
  if (!gPoster) {
    gPoster = std::make_unique<orv::TUtilWindow>([](HWND wnd, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
      if (msg != kRunQueued) return DefWindowProcA(wnd, msg, wp, lp);
      std::unique_ptr<std::function<void()>> f(reinterpret_cast<std::function<void()>*>(lp));
      (*f)();
      return 0;
    });
  }
  PostMessageA(gPoster->Handle(), kRunQueued, 0, reinterpret_cast<LPARAM>(new std::function<void()>(std::move(fn))));
}

HWND ActiveTopWindow() { return GetActiveWindow(); }

}  // namespace guitest
