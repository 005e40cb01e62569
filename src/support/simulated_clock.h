#pragma once
// A clock whose time moves only when told to, and whose waits pass at once: the launch preview runs
// a year of ticks with it, and tests run days of them.

#include "support/clock.h"

namespace tavro {

class SimulatedClock final : public Clock {
 public:
  explicit SimulatedClock(DateTime start = {}) : now_(start) {}
  DateTime Now() override { return now_; }
  std::int64_t SteadyMs() override { return steadyMs_; }
  void Wait(int milliseconds) override {
    Advance(milliseconds);
    waitedMs_ += milliseconds;
  }
  // Sets the wall clock only, as a change of the system's time would.
  void Set(DateTime value) { now_ = value; }
  void Advance(int milliseconds) {
    now_.ms += milliseconds;
    steadyMs_ += milliseconds;
  }
  long long WaitedMs() const { return waitedMs_; }

 private:
  DateTime now_;
  std::int64_t steadyMs_ = 0;
  long long waitedMs_ = 0;
};

}  // namespace tavro
