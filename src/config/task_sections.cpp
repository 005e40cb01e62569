#include "config/job_sections.h"
#include "config/section_keys.h"
#include "config/unquote.h"
#include "jobs/period_arithmetic.h"
#include "support/date_time_text.h"

namespace tavro {
namespace {

void ReadTask(ReadingRun& run, const std::string& section, TUkol& task) {
  run.Debug(section, true);
  ReadKeys(run.ini, section, kTaskKeys, task, run.kept);
  run.Debug(
      [&] {
        return "period=" + LogText(task.launchperiod) + kLineBreak + "phase=" + LogText(task.phase) + kLineBreak +
               "intervallength=" + LogText(task.intervallength) + kLineBreak + "exename=" + task.exename +
               kLineBreak + "taskname=" + task.taskname + kLineBreak +
               "exporttohistory=" + LogText(task.exporttohistory) + kLineBreak +
               "exporttoexternal=" + LogText(task.exporttoexternal) + kLineBreak + "runningtag=" + task.runningtag;
      },
      false);

  Unquote(task.runningtag);
  Unquote(task.exename);
  Unquote(task.taskname);
  RequireText(run, task.exename, "No EXE name found in ", section);
  RequireText(run, task.taskname, "No BDT name found in ", section);
  if (!LaunchPeriodFits(run, task.launchperiod, section)) return;

  if (!IsSet(task.LastTime)) {
    task.LastTime = TaskInitialLastTime(task, run.now);
    run.log.Entry("Last time for task in " + section + "  set to " + DateTimeText(task.LastTime));
  }
}

}  // namespace

void ReadTasks(ReadingRun& run, TUkoly& tasks, bool noPumpsOrBatches, const std::string& iniFileName) {
  const std::int32_t count = run.ini.ReadInteger("tasks", "count", 0);
  run.Debug([&] { return "tasks count=" + LogText(count); }, true);
  if (count == 0 && noPumpsOrBatches) run.errors = "No batch, pump or task found in file " + iniFileName;
  FitTable(run, tasks, count, "tasks");
  for (std::size_t i = 0; i < tasks.Items.size(); ++i) ReadTask(run, JobSectionName("task_", i), tasks.Items[i]);
}

}  // namespace tavro
