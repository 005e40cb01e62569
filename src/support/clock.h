#pragma once
// The launcher's one source of time: the tick time, the time that spaces the ticks, and the waits
// of a tick. Tests and the launch preview put a simulated clock here, so days of ticks run in a
// moment.

#include <cstdint>
#include <string>

#include "support/date_time.h"
#include "support/time_zone.h"

namespace tavro {

class Clock {
 public:
  virtual ~Clock() = default;
  // Real time (an instant: milliseconds since 1970 UTC), as the wall clock shows it: a correction
  // of the system's time moves it.
  virtual std::int64_t InstantNow() = 0;
  // The zone the wall clock's local time is read in.
  virtual TimeZone& Zone() = 0;
  // Milliseconds from an arbitrary start on a clock that only moves forward, whatever the wall
  // clock does (a change of time or of daylight saving): what ticks and pauses are spaced by.
  virtual std::int64_t SteadyMs() = 0;
  virtual void Wait(int milliseconds) = 0;

  // The local wall-clock date and time: what jobs are due by and what the log is stamped with.
  ZonedTime ZonedNow() { return LocalTimeAt(Zone(), InstantNow()); }
  // Takes the zone's setting afresh (TimeZone::Refresh); a simulated clock's zone stays as it was.
  virtual std::string RefreshZone() { return Zone().Refresh(); }
  DateTime Now() { return ZonedNow().local; }
};

class SystemClock final : public Clock {
 public:
  std::int64_t InstantNow() override;
  TimeZone& Zone() override { return zone_; }
  std::int64_t SteadyMs() override;
  void Wait(int milliseconds) override;

 private:
  SystemTimeZone zone_;
};

// The time a tick runs by: local time with its offset, the steady clock beside it, and the zone's
// identity as the tick took it (see TimeZone::Refresh).
struct TickTime {
  ZonedTime wall;
  std::int64_t steadyMs = 0;
  std::string zone;
  DateTime Local() const { return wall.local; }
};

// The zone taken afresh, then the time.
TickTime TakeTickTime(Clock& clock);

// The system's local time now, its zone taken afresh.
DateTime LocalNow();

}  // namespace tavro
