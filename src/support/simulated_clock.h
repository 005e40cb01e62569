#pragma once
// A clock whose time moves only when told to, and whose waits pass at once: the launch preview runs
// a year of ticks with it, and tests run days of them. Real time runs in the zone it is given (UTC
// unless told otherwise), so local time jumps where the zone's does.

#include "support/clock.h"

namespace tavro {

class SimulatedClock final : public Clock {
 public:
  explicit SimulatedClock(DateTime start = {}, TimeZone* zone = nullptr)
      : zone_(zone), zoneIdentity_(Zone().Refresh()) {
    Set(start);
  }
  std::int64_t InstantNow() override { return instant_; }
  TimeZone& Zone() override { return zone_ != nullptr ? *zone_ : utc_; }
  std::string RefreshZone() override { return zoneIdentity_; }
  // The system's zone changed to `zone` (nullptr: UTC), as the next tick finds it.
  void ChangeZone(TimeZone* zone) {
    zone_ = zone;
    zoneIdentity_ = Zone().Refresh();
  }
  std::int64_t SteadyMs() override { return steadyMs_; }
  void Wait(int milliseconds) override {
    Advance(milliseconds);
    waitedMs_ += milliseconds;
  }
  // Sets the wall clock only, as a change of the system's time would: to the first instant that
  // shows `local` (for a time in a gap, the end of the gap).
  void Set(DateTime local) { instant_ = FirstZonedTimeOf(Zone(), local).Instant(); }
  // Moves the wall clock only, by `milliseconds` (back when negative).
  void Step(std::int64_t milliseconds) { instant_ += milliseconds; }
  void Advance(int milliseconds) {
    instant_ += milliseconds;
    steadyMs_ += milliseconds;
  }
  long long WaitedMs() const { return waitedMs_; }

 private:
  FixedOffsetZone utc_;
  TimeZone* zone_;  // none: UTC
  std::string zoneIdentity_;
  std::int64_t instant_ = 0;
  std::int64_t steadyMs_ = 0;
  long long waitedMs_ = 0;
};

}  // namespace tavro
