#pragma once
// The launcher's one source of time: the tick time and the waits of a tick. Tests and the launch
// preview put a simulated clock here, so days of ticks run in a moment.

#include "support/date_time.h"

namespace tavro {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateTime Now() = 0;
  virtual void Wait(int milliseconds) = 0;
};

class SystemClock final : public Clock {
 public:
  DateTime Now() override;
  void Wait(int milliseconds) override;
};

}  // namespace tavro
