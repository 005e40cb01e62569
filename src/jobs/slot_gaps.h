#pragma once
// The slots daylight saving skips. Where local time jumps forward (02:00 to 03:00), the slots of
// the skipped hour never exist: a program handed one would be given a time that never was, and one
// real hour would be processed twice. Such slots are passed over, and the next slot that exists is
// launched at its normal time.

#include "jobs/job_records.h"
#include "support/time_zone.h"

namespace tavro {

struct PassedSlots {
  int count = 0;
  DateTime first, last;  // slot times
};

// Moves the job past its next slots that do not exist in `zone`, as long as they are due before
// `tick` (for the next one that exists at all: the latest possible time).
PassedSlots PassPumpSlotsThatDoNotExist(TPumpa& pump, DateTime tick, const TimeZone& zone);
PassedSlots PassTaskSlotsThatDoNotExist(TUkol& task, DateTime tick, const TimeZone& zone);

}  // namespace tavro
