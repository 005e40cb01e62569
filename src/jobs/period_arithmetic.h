#pragma once
// Every rule that turns a job's period settings into times: initial LastTime, due time, slot time,
// advance, and the batches' runs and data windows. All pure functions; due tests are "strictly
// earlier than the tick time".

#include <string>

#include "jobs/job_records.h"
#include "support/date_time.h"

namespace tavro {

// Pumps. LastTime is the launch time of the last slot (a period boundary plus phase).
DateTime PumpInitialLastTime(const TPumpa& pump, DateTime now);
DateTime PumpDueTime(const TPumpa& pump);   // LastTime + launchperiod
DateTime PumpSlotTime(const TPumpa& pump);  // due time - phase
DateTime PumpAdvancedLastTime(const TPumpa& pump, DateTime tick);

// Tasks: launchperiod up to 60 is a short period, above 60 a long one.
DateTime TaskInitialLastTime(const TUkol& task, DateTime now);
DateTime TaskDueTime(const TUkol& task);
struct TaskSlot {
  DateTime slotTime;     // passed to the program and the gate reader
  DateTime newLastTime;  // stored before the gate and the launch
};
TaskSlot TaskNextSlot(const TUkol& task);

// Batches.
DateTime NextRunTime(std::int32_t type, std::int32_t day, std::int32_t phase, DateTime t);
DateTime LastRunTime(std::int32_t type, std::int32_t day, std::int32_t phase, DateTime t);
std::string FormatWindowStart(const TBec& batch, DateTime previousRun);
std::string FormatWindowEnd(const TBec& batch, DateTime tick);

}  // namespace tavro
