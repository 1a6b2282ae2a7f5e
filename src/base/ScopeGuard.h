#pragma once
// Clean-up that runs however a scope is left, and brackets (update counts, component state
// flags) that end also when the work inside them raises.
#include <cstdint>
#include <utility>

namespace orv {

// Runs Fn when the scope ends, unless dismissed. Fn runs from a destructor, so it must not
// raise: work that may raise (user events) belongs in RunThenEnd.
template <typename F>
class TScopeGuard {
public:
  explicit TScopeGuard(F fn) : fn_(std::move(fn)) {}
  TScopeGuard(const TScopeGuard&) = delete;
  TScopeGuard& operator=(const TScopeGuard&) = delete;
  ~TScopeGuard() {
    if (active_) fn_();
  }
  void Dismiss() { active_ = false; }

private:
  F fn_;
  bool active_ = true;
};

// Runs Body, then End, also when Body raises (Body's error then goes on). End may raise; it
// never runs from a destructor.
template <typename Body, typename End>
void RunThenEnd(Body&& body, End&& end) {
  try {
    body();
  } catch (...) {
    end();
    throw;
  }
  end();
}

// Body inside Target.BeginUpdate() / EndUpdate() (string lists, collections).
template <typename T, typename Body>
void WithUpdate(T& target, Body&& body) {
  target.BeginUpdate();
  RunThenEnd(body, [&] { target.EndUpdate(); });
}

// Body with the component state Flags set; they are cleared afterwards.
template <typename T, typename Body>
void WithState(T& component, uint32_t flags, Body&& body) {
  component.SetState(flags);
  RunThenEnd(body, [&] { component.ClearState(flags); });
}

}  // namespace orv
