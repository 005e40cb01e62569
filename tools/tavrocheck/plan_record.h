#pragma once
// The preview's launches gathered per job, for its summary and its picture.

#include <optional>
#include <string>
#include <vector>

#include "schedule/timer_cycle.h"
#include "support/date_time.h"
#include "tavrocheck/options.h"

namespace tavro {

struct LaunchMark {
  DateTime time;      // of the tick that launched it
  std::int64_t tick;  // that tick's number: launches at consecutive ticks are a catch-up
};

struct PlannedJob {
  std::string kind;     // pump, batch, task or report
  int number = 0;       // counted from 1
  std::string name;     // the taskname, a report's template, a pump's program
  std::string gateTag;  // a task's runningtag; "" for a job without a gate
  int launches = 0;
  std::vector<LaunchMark> marks;  // each launch, when asked for
};

struct RecordedPlan {
  bool valid = false;  // the file was free of errors at the start
  DateTime start;
  int hours = 0;
  std::vector<PlannedJob> jobs;  // every job of the file (or the one chosen, none when it is not in the
                                 // file: then nothing is ticked), in the order of the file
  std::vector<ClockChange> clockChanges;  // daylight saving beginning or ending within the span
};

struct PlanRequest {
  std::string iniFile;
  DateTime start;
  int hours = 24;
  std::optional<JobChoice> job;  // only this job
  bool keepTimes = false;        // keep each launch's time (a picture); otherwise only count them
};

// Runs the preview; each launch also goes to `printer` when one is given.
RecordedPlan RecordPlan(const PlanRequest& request, LaunchObserver* printer = nullptr);

}  // namespace tavro
