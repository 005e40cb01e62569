#include "config/job_sections.h"
#include "config/section_keys.h"
#include "config/unquote.h"
#include "jobs/period_arithmetic.h"
#include "support/date_time_text.h"

namespace tavro {
namespace {

void ReadPump(ReadingRun& run, const std::string& section, TPumpa& pump) {
  run.Debug(section, true);
  ReadKeys(run.ini, section, kPumpKeys, pump, run.kept);
  run.Debug(
      [&] {
        return "period " + LogText(pump.launchperiod) + kLineBreak + "phase " + LogText(pump.phase) + kLineBreak +
               "intervallength " + LogText(pump.intervallength) + kLineBreak + "averaging " +
               LogText(pump.averages) + kLineBreak + "reacalculation force " + LogText(pump.recalculate) +
               kLineBreak + "exename=" + pump.exename + kLineBreak + "source=" + pump.source + kLineBreak +
               "target=" + pump.target + kLineBreak + "tagfile=" + pump.tagfile;
      },
      true);

  Unquote(pump.exename);
  Unquote(pump.source);
  Unquote(pump.target);
  RequireText(run, pump.exename, "No EXE name found in ", section);
  RequireText(run, pump.source, "No source name found in ", section);
  RequireText(run, pump.target, "No target name found in ", section);
  RequireText(run, pump.tagfile, "No tagfile name found in ", section);
  if (!LaunchPeriodFits(run, pump.launchperiod, section)) return;

  if (!IsSet(pump.LastTime)) {
    pump.LastTime = PumpInitialLastTime(pump, run.now);
    run.log.Entry("Last time for pump in " + section + " set to " + DateTimeText(pump.LastTime));
  }
}

}  // namespace

std::int32_t ReadPumps(ReadingRun& run, TPumpy& pumps) {
  const std::int32_t count = run.ini.ReadInteger("pumps", "count", 0);
  run.Debug([&] { return "pumps count=" + LogText(count); }, true);
  FitTable(run, pumps, count, "pumps");
  for (std::size_t i = 0; i < pumps.Items.size(); ++i) ReadPump(run, JobSectionName("pump_", i), pumps.Items[i]);
  return count;
}

}  // namespace tavro
