#include "schedule/clock_change.h"

#include "jobs/period_arithmetic.h"
#include "support/date_time_text.h"

namespace tavro {

std::optional<ClockChange> ClockChangeBetween(const TickTime& previous, const TickTime& now) {
  const std::int64_t passed = now.steadyMs - previous.steadyMs;
  const std::int64_t step = now.wall.Instant() - previous.wall.Instant() - passed;
  const int offsetChange = now.wall.offsetMinutes - previous.wall.offsetMinutes;
  ClockChange change{ClockChangeKind::ZoneChanged, previous.wall, now.wall,
                     now.wall.local.ms - previous.wall.local.ms - passed};
  if (now.zone != previous.zone) return change;
  if (step > kClockStepToleranceMs || step < -kClockStepToleranceMs) {
    change.kind = step > 0 ? ClockChangeKind::SetForward : ClockChangeKind::SetBack;
    return change;
  }
  if (offsetChange == 0) return std::nullopt;
  change.kind = offsetChange > 0 ? ClockChangeKind::DaylightSavingBegan : ClockChangeKind::DaylightSavingEnded;
  return change;
}

std::string ClockChangeEntry(const ClockChange& change) {
  constexpr const char* kWhy[] = {"daylight saving time began", "daylight saving time ended",
                                  "the clock was set forward", "the clock was set back", "the time zone changed"};
  // LogStamp's text lasts until its next call: the first is copied.
  const std::string from = LogStamp(change.from.local);
  return "The clock moved from " + from + " to " + LogStamp(change.to.local) + " (" +
         kWhy[static_cast<int>(change.kind)] + ")";
}

void TakeTimesAfresh(LauncherState& state, DateTime now, LogSink& log) {
  for (TPumpa& pump : state.Pumps.Items) pump.LastTime = PumpInitialLastTime(pump, now);
  for (TUkol& task : state.Tasks.Items) task.LastTime = TaskInitialLastTime(task, now);
  log.Entry("Pumps and tasks take their times afresh from " + LogStamp(now) + ", as at a start");
}

}  // namespace tavro
