#pragma once
// The slots of one job in a span of time, each with the command line the launcher gives it, and the
// check of the slots an operator asks to run again: a time that is no slot of the job, or a slot
// that the launcher has yet to launch itself, is refused.

#include <optional>
#include <string>
#include <vector>

#include "jobs/launcher_state.h"
#include "support/date_time.h"
#include "tavrocheck/options.h"

namespace tavro {

struct JobSlot {
  DateTime slot;  // the time the job is launched for: the slot of a pump or task, the run of a batch or report
  DateTime due;   // the launcher launches it at its first tick after this time
  std::string program;
  std::string arguments;
};

// The job's slots from `since` to `until`, both included, as a launcher that ticks right after
// each due time launches them; none when the file has no such job. A pump's and a task's slots
// are counted as a launcher started late on the day before `since` counts them.
std::vector<JobSlot> SlotsBetween(const LauncherState& state, const JobChoice& job, DateTime since, DateTime until);

// More slots than this in one request are refused: a span of a year of a minute's task is a
// mistake, not a re-run.
inline constexpr std::size_t kMostRerunSlots = 1000;

enum class SlotVerdict {
  Accepted,
  NoSuchJob,    // the file has no such job
  NotASlot,     // a time that is no slot of the job, or a span without any
  NotDue,       // a slot the launcher has not launched yet
  TooMany,      // more than kMostRerunSlots
};

struct ChosenSlots {
  SlotVerdict verdict = SlotVerdict::Accepted;
  std::vector<JobSlot> slots;  // when accepted, oldest first
  std::string problem;         // otherwise, what is wrong, in one line
};

// The slot `at` of the job (until empty), or every slot from `at` to `until`, checked against `now`.
ChosenSlots ChooseSlots(const LauncherState& state, const JobChoice& job, DateTime at,
                        const std::optional<DateTime>& until, DateTime now);

}  // namespace tavro
