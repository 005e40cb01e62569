#pragma once
// What the running launcher knows for its operator: how each job's last launch went, how its last
// run ended, and how the last reading and the source fared. The status file and the terminal's jobs
// view show it; nothing in it steers a launch.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/date_time.h"
#include "support/time_zone.h"

namespace tavro {

enum class JobKind { Pump = 0, Batch = 1, Task = 2, Report = 3 };
inline constexpr std::array<const char*, 4> kJobKindNames{"pump", "batch", "task", "report"};
inline const char* JobKindName(JobKind kind) { return kJobKindNames[static_cast<std::size_t>(kind)]; }

// Skipped: not launched, the job's earlier run still running (overlap=skip); Waiting: the task's
// slot waits for that run to end (overlap=wait).
enum class LaunchResult { None, Launched, Failed, Held, Skipped, Waiting };

// How a started program ended.
struct RunEndRecord {
  bool bySignal = false;
  std::int64_t code = 0;  // exit code, or the signal's number
  std::int64_t milliseconds = 0;
  bool byLimit = false;  // ended by the launcher at its run time limit
};

// What befell a job since the launcher started: what its metrics count.
struct JobCounts {
  std::uint64_t launches = 0;        // programs started
  std::uint64_t failedLaunches = 0;  // starts that failed
  std::uint64_t heldByValue = 0;     // task slots a closed gate held
  std::uint64_t heldBySourceFailure = 0;  // task slots held because the gate's read failed
  std::uint64_t missedSlots = 0;     // slots that passed while no launcher ran, as the start found them
  std::uint64_t skippedOverlaps = 0;  // slots not launched because the job's previous run still ran
  std::uint64_t endedByLimit = 0;     // runs ended by their run time limit
  friend bool operator==(const JobCounts&, const JobCounts&) = default;
};

struct JobRecord {
  std::optional<ZonedTime> lastLaunch;  // the tick that last decided a launch; none since the start
  std::string lastCommand;  // program and arguments, as the log writes them
  LaunchResult result = LaunchResult::None;
  int returnValue = 0;     // of a failed start
  std::string heldTag;     // the runningtag that held the task, and its value
  double heldValue = 0.0;
  std::string heldFailure;  // why the read failed when the value stands for that (ReadFailure); "" for a value of the tag
  DateTime readAgainUntil;  // set while the failed read's slot is read again at each tick (retryheld)
  std::optional<RunEndRecord> lastEnd;
  DateTime waitingSlot;  // the task slot that waits for the run before it (told once)
  JobCounts counts;
};

// A started program whose end is awaited, and the job it belongs to.
struct AwaitedRun {
  std::uint64_t run = 0;
  JobKind kind = JobKind::Pump;
  int number = 0;
  std::string command;
  DateTime slot;  // the slot it was launched for
  ZonedTime started;            // the tick that launched it
  std::int64_t process = 0;     // its process id
  std::int32_t limitMinutes = 0;  // its run time limit; 0 none
};

struct JobStatus {
  std::array<std::vector<JobRecord>, 4> jobs;  // by JobKind, element i for job i+1
  std::vector<AwaitedRun> awaited;
  std::uint64_t unwatchedRuns = 0;  // started while the most watched at once were running

  std::optional<ZonedTime> lastReading;  // none: no reading yet
  bool readingValid = false;
  int readingWarningCount = 0;  // the findings of the last reading
  std::uint64_t validReadings = 0, invalidReadings = 0;  // since the start
  std::uint64_t readErrors = 0;  // failed gate reads since the start
  std::optional<ZonedTime> lastReadErrorTime;
  std::string lastReadError;  // the source's last failure; "" when none yet
  bool sourceLost = false;    // its server out of reach, from the entry that said so to the one that it answers
  std::string stopReason;     // why the launcher stopped, while it is stopped

  // Something an operator would see has changed since the status was last shown.
  bool changed = true;

  JobRecord& Job(JobKind kind, int number) {
    std::vector<JobRecord>& records = jobs[static_cast<std::size_t>(kind)];
    if (records.size() < static_cast<std::size_t>(number)) records.resize(static_cast<std::size_t>(number));
    return records[static_cast<std::size_t>(number - 1)];
  }
  const JobRecord* Find(JobKind kind, int number) const {
    const std::vector<JobRecord>& records = jobs[static_cast<std::size_t>(kind)];
    return number >= 1 && static_cast<std::size_t>(number) <= records.size()
               ? &records[static_cast<std::size_t>(number - 1)]
               : nullptr;
  }
};

}  // namespace tavro
