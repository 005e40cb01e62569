#pragma once
// What the wall clock did between two ticks. Local time can jump while the ticks run straight:
// daylight saving begins or ends, the system's time is corrected, the zone is changed. The tick
// tells it once in the log, and the rules of each kind of job follow from how far local time
// jumped.

#include <cstdint>
#include <optional>
#include <string>

#include "jobs/launcher_state.h"
#include "support/clock.h"
#include "support/log_sink.h"

namespace tavro {

// A wall clock that moved against the steady one by less than this just ran on (a tick reads the
// two clocks one after the other, and the system's time may be nudged).
inline constexpr std::int64_t kClockStepToleranceMs = 2000;
// A jump of local time at least this large is a correction of the clock rather than daylight
// saving: pumps and tasks then take their times afresh, as a new start would.
inline constexpr std::int64_t kLargeClockChangeMs = 3 * kMsPerHour;

enum class ClockChangeKind { DaylightSavingBegan, DaylightSavingEnded, SetForward, SetBack, ZoneChanged };

struct ClockChange {
  ClockChangeKind kind;
  ZonedTime from;  // the local times of the two ticks
  ZonedTime to;
  // How far local time moved beyond the time that passed between the ticks; below 0: back.
  std::int64_t localJumpMs = 0;
};

// None when local time ran on with the steady clock.
std::optional<ClockChange> ClockChangeBetween(const TickTime& previous, const TickTime& now);

// "The clock moved from 2026.10.25 02:59:58 to 2026.10.25 02:00:08 (daylight saving time ended)".
std::string ClockChangeEntry(const ClockChange& change);

// After the clock went back by kLargeClockChangeMs or more, pumps and tasks take their times from
// the new time, as a start would: none stays silent until local time has caught up again. Batches
// keep their next runs.
void TakeTimesAfresh(LauncherState& state, DateTime now, LogSink& log);

}  // namespace tavro
