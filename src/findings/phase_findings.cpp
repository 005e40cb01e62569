// Phases the launcher accepts although they defeat their job's period: a negative one that
// launches a slot again at every tick, or one so large that the slot times passed to the program
// lie months or centuries away from the launch.

#include "config/job_sections.h"
#include "findings/findings.h"

namespace tavro {
namespace {

constexpr std::int64_t kDayMinutes = 1440;
constexpr std::int64_t kWeekMinutes = 7 * kDayMinutes;
constexpr std::int64_t kShortestMonthMinutes = 28 * kDayMinutes;
constexpr std::int32_t kLongestShortPeriod = 60;  // tasks above it count their phase from midnight

std::string Expected(std::int64_t highest) { return " (expected 0 to " + std::to_string(highest) + ")"; }

std::optional<std::string> PumpPhaseProblem(const TPumpa& pump) {
  const std::int64_t phase = pump.phase;
  const std::int64_t period = pump.launchperiod >= 1 ? pump.launchperiod : 1;
  if (phase < 0) {
    const std::string when = -phase >= period ? "at every tick"
                                              : "at every tick of the last " + std::to_string(-phase) +
                                                    " minutes of each period";
    return std::to_string(phase) + " is negative" + Expected(period - 1) + "; the launcher then launches the pump " +
           when;
  }
  if (phase >= period) {
    return std::to_string(phase) + " is not within the period of " + std::to_string(period) + " minutes" +
           Expected(period - 1) + "; each launch then waits the phase once more, so the pump runs only every " +
           std::to_string(phase) + " to " + std::to_string(phase + period) + " minutes";
  }
  return std::nullopt;
}

std::optional<std::string> TaskPhaseProblem(const TUkol& task) {
  const std::int64_t phase = task.phase;
  if (task.launchperiod > kLongestShortPeriod) {
    if (phase >= 0) return std::nullopt;  // counted from midnight, larger phases come round again
    return std::to_string(phase) + " is negative" + Expected(kDayMinutes - 1) +
           "; a start then catches up, at every tick, each slot since " + std::to_string(-phase) +
           " minutes before midnight";
  }
  // A short period's slot is launched `phase` minutes after it ends.
  if (phase < 0) {
    return std::to_string(phase) + " is negative" + Expected(kDayMinutes - 1) +
           "; the slot times passed to the program then lie " + std::to_string(-phase) +
           " minutes after the launch";
  }
  if (phase >= kDayMinutes) {
    return std::to_string(phase) + " is more than a day" + Expected(kDayMinutes - 1) +
           "; the slot times passed to the program then lie " + std::to_string(phase) +
           " minutes before the launch";
  }
  return std::nullopt;
}

std::optional<std::string> BatchPhaseProblem(const TBec& batch) {
  const std::int64_t phase = batch.phase;
  const auto [period, name] = batch.type == 1   ? std::pair<std::int64_t, const char*>{kWeekMinutes, "week"}
                              : batch.type == 2 ? std::pair<std::int64_t, const char*>{kShortestMonthMinutes, "month"}
                                                : std::pair<std::int64_t, const char*>{kDayMinutes, "day"};
  if (phase < 0) {
    const std::string effect = -phase >= period
                                   ? "its next run then lies before each launch, so it is launched at every tick"
                                   : "it then runs " + std::to_string(-phase) + " minutes before the midnight its " +
                                         name + " starts from";
    return std::to_string(phase) + " is negative" + Expected(period - 1) + "; " + effect;
  }
  if (phase >= period) {
    return std::to_string(phase) + " is not within the " + name + " it runs in" + Expected(period - 1) +
           "; it then runs less often than once a " + name;
  }
  return std::nullopt;
}

template <class Job>
void CheckPhases(const std::vector<Job>& jobs, const char* prefix, std::optional<std::string> (*problem)(const Job&),
                 Findings& findings) {
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    if (std::optional<std::string> found = problem(jobs[i])) {
      findings.push_back({JobSectionName(prefix, i), "phase", *found});
    }
  }
}

}  // namespace

void FindPhaseProblems(const CheckedFile& file, Findings& findings) {
  CheckPhases(file.state.Pumps.Items, "pump_", PumpPhaseProblem, findings);
  CheckPhases(file.state.Batches.Items, "batch_", BatchPhaseProblem, findings);
  CheckPhases(file.state.Tasks.Items, "task_", TaskPhaseProblem, findings);
}

}  // namespace tavro
