#include "tavrocheck/job_slots.h"

#include <algorithm>

#include "jobs/period_arithmetic.h"
#include "jobs/report_calendar.h"
#include "schedule/command_lines.h"
#include "support/date_time_text.h"

namespace tavro {
namespace {

// The launcher's tick comes after the due time; its own rules only look at the tick's minute and day.
DateTime TickAfter(DateTime due) { return DateTime{due.ms + 1}; }

// The job's table entry, or none: a table may hold more entries than its count takes.
template <class Table>
const auto* Entry(const Table& table, int number) {
  const int count = std::min<int>(table.count, static_cast<int>(table.Items.size()));
  return number >= 1 && number <= count ? &table.Items[static_cast<std::size_t>(number - 1)] : nullptr;
}

// Each walk follows its job with the rules the tick uses, as if a tick came right after each due
// time, and keeps the slots of the span. It starts as a launcher started late on the day before
// `since`: after the phase of a task whose period is longer than an hour, whose slots then keep the
// minute they have in a launcher started on any earlier day after that phase.
DateTime WalkStart(DateTime since) { return AddMinutes(StartOfDay(since), -1); }

void PumpSlots(TPumpa pump, DateTime since, DateTime until, std::vector<JobSlot>& slots) {
  pump.LastTime = PumpInitialLastTime(pump, WalkStart(since));
  for (DateTime slot = PumpSlotTime(pump); slot <= until; slot = PumpSlotTime(pump)) {
    const DateTime due = PumpDueTime(pump);
    if (since <= slot) slots.push_back({slot, due, pump.exename, PumpArguments(pump, slot)});
    pump.LastTime = PumpAdvancedLastTime(pump, TickAfter(due));
  }
}

void TaskSlots(TUkol task, DateTime since, DateTime until, std::vector<JobSlot>& slots) {
  task.LastTime = TaskInitialLastTime(task, WalkStart(since));
  for (TaskSlot next = TaskNextSlot(task); next.slotTime <= until; next = TaskNextSlot(task)) {
    if (since <= next.slotTime) {
      slots.push_back({next.slotTime, TaskDueTime(task), task.exename,
                       TaskArguments(task, next.slotTime, kTaskTimePattern)});
    }
    task.LastTime = next.newLastTime;
  }
}

void BatchSlots(const TBec& batch, DateTime since, DateTime until, std::vector<JobSlot>& slots) {
  DateTime previous = LastRunTime(batch.type, batch.day, batch.phase, DateTime{since.ms - 1});
  if (previous == NeverDate) return;  // a weekly batch without a valid day never runs
  for (DateTime run = NextRunTime(batch.type, batch.day, batch.phase, TickAfter(previous)); run <= until;
       run = NextRunTime(batch.type, batch.day, batch.phase, TickAfter(run))) {
    if (since <= run) {
      slots.push_back({run, run, batch.exename,
                       BatchArguments(batch, FormatWindowStart(batch, previous), FormatWindowEnd(batch, TickAfter(run)))});
    }
    previous = run;
  }
}

void ReportSlots(const TRepUkol& report, const std::string& program, DateTime since, DateTime until,
                 std::vector<JobSlot>& slots) {
  if (report.template_.empty()) return;  // the tick passes it over
  const std::int64_t minute = std::int64_t{report.HourValue} * 60 + report.MinuteValue;
  for (DateTime date = StartOfDay(since); date <= until; date = AddDays(date, 1)) {
    const DateTime run = AddMinutes(date, minute);
    if (since <= run && run <= until && CalendarMatches(report.day, report.month, report.dayofweek, date)) {
      // Launched in its minute, from its first millisecond on.
      slots.push_back({run, DateTime{run.ms - 1}, program, ReportArguments(report)});
    }
  }
}

std::string Name(const JobChoice& job) { return job.kind + " " + std::to_string(job.number); }

}  // namespace

std::vector<JobSlot> SlotsBetween(const LauncherState& state, const JobChoice& job, DateTime since, DateTime until) {
  std::vector<JobSlot> slots;
  if (job.kind == "pump") {
    if (const TPumpa* pump = Entry(state.Pumps, job.number)) PumpSlots(*pump, since, until, slots);
  } else if (job.kind == "batch") {
    if (const TBec* batch = Entry(state.Batches, job.number)) BatchSlots(*batch, since, until, slots);
  } else if (job.kind == "task") {
    if (const TUkol* task = Entry(state.Tasks, job.number)) TaskSlots(*task, since, until, slots);
  } else if (const TRepUkol* report = Entry(state.Reports, job.number)) {
    ReportSlots(*report, state.Reports.exename, since, until, slots);
  }
  return slots;
}

ChosenSlots ChooseSlots(const LauncherState& state, const JobChoice& job, DateTime at,
                        const std::optional<DateTime>& until, DateTime now) {
  const bool exists = job.kind == "pump"    ? Entry(state.Pumps, job.number) != nullptr
                      : job.kind == "batch" ? Entry(state.Batches, job.number) != nullptr
                      : job.kind == "task"  ? Entry(state.Tasks, job.number) != nullptr
                                            : Entry(state.Reports, job.number) != nullptr;
  if (!exists) return {SlotVerdict::NoSuchJob, {}, "there is no " + Name(job) + " in the file"};
  ChosenSlots chosen;
  chosen.slots = SlotsBetween(state, job, at, until.value_or(at));
  if (chosen.slots.empty()) {
    if (until) {
      return {SlotVerdict::NotASlot, {}, "no slot of " + Name(job) + " lies from " + DateTimeText(at) + " to " +
                                             DateTimeText(*until)};
    }
    // The slots around it tell the operator what was meant.
    std::string near;
    const std::vector<JobSlot> before = SlotsBetween(state, job, AddDays(at, -40), at);
    const std::vector<JobSlot> after = SlotsBetween(state, job, at, AddDays(at, 40));
    if (!before.empty()) near += "; the slot before it is " + DateTimeText(before.back().slot);
    if (!after.empty()) near += (near.empty() ? "; " : ", ") + std::string("the slot after it is ") + DateTimeText(after.front().slot);
    return {SlotVerdict::NotASlot, {}, DateTimeText(at) + " is no slot of " + Name(job) + near};
  }
  if (chosen.slots.size() > kMostRerunSlots) {
    return {SlotVerdict::TooMany, {}, std::to_string(chosen.slots.size()) + " slots of " + Name(job) + " from " +
                                          DateTimeText(at) + " to " + DateTimeText(*until) + ": at most " +
                                          std::to_string(kMostRerunSlots) + " are run again at once"};
  }
  // Nothing is run when one of them is not due: the launcher launches that one itself.
  const auto early = std::find_if(chosen.slots.begin(), chosen.slots.end(),
                                  [now](const JobSlot& slot) { return !(slot.due < now); });
  if (early != chosen.slots.end()) {
    return {SlotVerdict::NotDue, {}, "the slot " + DateTimeText(early->slot) + " of " + Name(job) +
                                         " is not due before " + DateTimeText(early->due) +
                                         ": the launcher launches it itself; only past slots are run again"};
  }
  return chosen;
}

}  // namespace tavro
