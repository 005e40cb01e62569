#include <array>

#include "config/job_sections.h"
#include "config/section_keys.h"
#include "config/unquote.h"
#include "jobs/period_arithmetic.h"
#include "support/date_time_text.h"

namespace tavro {
namespace {

constexpr std::int32_t kDaily = 0;
constexpr std::int32_t kWeekly = 1;
constexpr std::int32_t kMonthly = 2;

// Out-of-range settings are corrected with a warning; they do not make the file invalid.
void CorrectSchedule(ReadingRun& run, const std::string& section, TBec& batch) {
  if (batch.type < kDaily || batch.type > kMonthly) {
    run.log.Entry(section + ": stupid mode " + LogText(batch.type) + " set to 0 (daily). Fix it please.");
    batch.type = kDaily;
  }
  if (batch.type == kWeekly && (batch.day < 1 || batch.day > 7)) {
    run.log.Entry(section + ": stupid day " + LogText(batch.day) + " set to 1 (monday). Fix it please.");
    batch.day = 1;
  }
}

void ReadBatch(ReadingRun& run, const std::string& section, TBec& batch) {
  run.Debug(section, true);
  const std::array<std::int32_t, 3> scheduleBefore{batch.type, batch.day, batch.phase};
  ReadKeys(run.ini, section, kBatchKeys, batch, run.kept);
  run.Debug(
      [&] {
        return "type=" + LogText(batch.type) + kLineBreak + "day=" + LogText(batch.day) + kLineBreak + "phase=" +
               LogText(batch.phase) + kLineBreak + "intervallength=" + LogText(batch.intervallength) + kLineBreak +
               "margins=" + LogText(batch.margins) + kLineBreak + "exename=" + batch.exename + kLineBreak +
               "taskname=" + batch.taskname + kLineBreak + "exporttohistory=" + LogText(batch.exporttohistory) +
               kLineBreak + "exporttoexternal=" + LogText(batch.exporttoexternal);
      },
      false);

  CorrectSchedule(run, section, batch);
  Unquote(batch.exename);
  Unquote(batch.taskname);
  RequireText(run, batch.exename, "No EXE name found in ", section);
  RequireText(run, batch.taskname, "No BDT name found in ", section);

  if (!IsSet(batch.LastTime)) {
    batch.LastTime = LastRunTime(batch.type, batch.day, batch.phase, run.now);
    run.log.Entry("Last time for " + section + " set to " + DateTimeText(batch.LastTime));
    batch.NextTime = {};
  }
  // A changed schedule takes effect from the last run on. An unchanged one keeps NextTime: after a
  // stop of more than one period the launcher made one catch-up run and moved NextTime past the
  // missed ones, and recomputing it from LastTime would bring a skipped run back.
  const std::array<std::int32_t, 3> schedule{batch.type, batch.day, batch.phase};
  if (schedule != scheduleBefore || !IsSet(batch.NextTime)) {
    batch.NextTime = NextRunTime(batch.type, batch.day, batch.phase, batch.LastTime);
  }
  run.Debug([&] { return "Next time set to " + DateTimeText(batch.NextTime); }, true);
}

}  // namespace

std::int32_t ReadBatches(ReadingRun& run, TBece& batches) {
  const std::int32_t count = run.ini.ReadInteger("batches", "count", 0);
  run.Debug([&] { return "batches count=" + LogText(count); }, true);
  FitTable(run, batches, count, "batches");
  for (std::size_t i = 0; i < batches.Items.size(); ++i) {
    ReadBatch(run, JobSectionName("batch_", i), batches.Items[i]);
  }
  return count;
}

}  // namespace tavro
