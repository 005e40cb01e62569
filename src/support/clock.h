#pragma once
// The launcher's one source of time: the tick time, the time that spaces the ticks, and the waits
// of a tick. Tests and the launch preview put a simulated clock here, so days of ticks run in a
// moment.

#include <cstdint>

#include "support/date_time.h"

namespace tavro {

class Clock {
 public:
  virtual ~Clock() = default;
  // The local wall-clock date and time: what jobs are due by and what the log is stamped with.
  virtual DateTime Now() = 0;
  // Milliseconds from an arbitrary start on a clock that only moves forward, whatever the wall
  // clock does (a change of time or of daylight saving): what ticks and pauses are spaced by.
  virtual std::int64_t SteadyMs() = 0;
  virtual void Wait(int milliseconds) = 0;
};

class SystemClock final : public Clock {
 public:
  DateTime Now() override;
  std::int64_t SteadyMs() override;
  void Wait(int milliseconds) override;
};

}  // namespace tavro
