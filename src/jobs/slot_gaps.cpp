#include "jobs/slot_gaps.h"

#include "jobs/period_arithmetic.h"

namespace tavro {
namespace {

// A gap is an hour or two: a zone that claims more gives up the search rather than the tick.
constexpr int kMostPassed = 24 * 60;

void Note(PassedSlots& passed, DateTime slot) {
  if (passed.count++ == 0) passed.first = slot;
  passed.last = slot;
}

}  // namespace

PassedSlots PassPumpSlotsThatDoNotExist(TPumpa& pump, DateTime tick, const TimeZone& zone) {
  PassedSlots passed;
  while (passed.count < kMostPassed && PumpDueTime(pump) < tick && !LocalTimeExists(zone, PumpSlotTime(pump))) {
    Note(passed, PumpSlotTime(pump));
    pump.LastTime = PumpDueTime(pump);
  }
  return passed;
}

PassedSlots PassTaskSlotsThatDoNotExist(TUkol& task, DateTime tick, const TimeZone& zone) {
  PassedSlots passed;
  while (passed.count < kMostPassed && TaskDueTime(task) < tick) {
    const TaskSlot slot = TaskNextSlot(task);
    if (LocalTimeExists(zone, slot.slotTime)) break;
    Note(passed, slot.slotTime);
    task.LastTime = slot.newLastTime;
  }
  return passed;
}

}  // namespace tavro
