#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "jobs/history_line.h"
#include "support/date_time_text.h"
#include "testing/capture_output.h"
#include "testing/child_process.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

// Times as the journal writes them, in the zone tavrocheck reads local times in.
ZonedTime Zoned(int hour, int minute, int second = 0) {
  return FirstZonedTimeOf(SystemTimeZone(), MakeDateTime(2026, 12, 7, hour, minute, second));
}
std::string Time(int hour, int minute, int second = 0) { return ZonedTimeText(Zoned(hour, minute, second)); }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.find('\r')));
  return lines;
}

// A journal as a launcher left it: launches, a run's end, a held slot, a restart after a kill with a
// catch-up of the first missed slot. --history tells every slot's outcome, the missed ones at their
// own times; --missed lists those with their command lines; --job keeps one job.
TEST(TavrocheckHistory, TellsEverySlotAndTheMissedOnesFromTheJournal) {
  const testutil::TempDir dir;
  const std::string ini = dir.File("tavrorun.ini");
  testutil::WriteFileBytes(ini, "[tasks]\ncount=2\n[task_1]\nlaunchperiod=15\nphase=5\nintervallength=15\n"
                                "exename=/opt/tavro/task\ntaskname=Balance\n[task_2]\nlaunchperiod=60\nphase=5\n"
                                "intervallength=60\nexename=/opt/tavro/task\ntaskname=Hourly\n");
  const std::string command = "/opt/tavro/task Balance 07.12.2026+01.45 15 -NOH -NOE";
  std::string journal;
  for (const HistoryLine& line : std::vector<HistoryLine>{
           {Zoned(1, 0), HistoryEvent::Started, JobKind::Pump, 0, {}, {}, "", ""},
           {Zoned(1, 50, 10), HistoryEvent::Launched, JobKind::Task, 1, Zoned(1, 45), {}, "", command},
           {Zoned(1, 50, 20), HistoryEvent::RunEnded, JobKind::Task, 1, Zoned(1, 45), {}, "with exit code 3 after 0.3 s", ""},
           {Zoned(1, 50, 30), HistoryEvent::SourceFailed, JobKind::Task, 2, Zoned(1, 0), {}, "RUN (-20): down", "t2"},
           {Zoned(3, 0), HistoryEvent::NotRunning, JobKind::Pump, 0, Zoned(2, 0), Zoned(3, 0), "killed", ""},
           {Zoned(3, 0, 10), HistoryEvent::Launched, JobKind::Task, 1, Zoned(2, 0), {}, "", "c"},
       }) {
    journal += HistoryLineText(line);
  }
  journal += "2026-12-07T03:00:20";  // torn by a power loss: passed over
  testutil::WriteFileBytes(dir.File("tavrorun-20261207.history"), journal);
  const auto check = [&ini](std::vector<std::string> args, int exitCode = 0) {
    args.insert(args.end(), {"--ini", ini, "--since", "2026-12-07 00:00:00", "--until", "2026-12-07 04:00:00"});
    const testutil::CapturedRun run = testutil::RunProgramCapture(testutil::TestProgramPath("tavrocheck"), args);
    EXPECT_EQ(run.exitCode, exitCode) << run.output;
    return Lines(run.output);
  };
  const std::string missed = "missed: no launcher ran (killed)\t/opt/tavro/task ";
  EXPECT_EQ(check({"--history"}),
            (std::vector<std::string>{
                Time(1, 0) + "\tlauncher\t\tlauncher started\t",
                Time(1, 50, 10) + "\ttask 1\t" + Time(1, 45) + "\tlaunched\t" + command,
                Time(1, 50, 20) + "\ttask 1\t" + Time(1, 45) + "\trun ended with exit code 3 after 0.3 s\t",
                Time(1, 50, 30) + "\ttask 2\t" + Time(1, 0) + "\theld because the source failed: RUN (-20): down\tt2",
                Time(2, 0) + "\ttask 2\t" + Time(2, 0) + "\t" + missed + "Hourly 07.12.2026+02.00 60 -NOH -NOE",
                Time(2, 15) + "\ttask 1\t" + Time(2, 15) + "\t" + missed + "Balance 07.12.2026+02.15 15 -NOH -NOE",
                Time(2, 30) + "\ttask 1\t" + Time(2, 30) + "\t" + missed + "Balance 07.12.2026+02.30 15 -NOH -NOE",
                Time(2, 45) + "\ttask 1\t" + Time(2, 45) + "\t" + missed + "Balance 07.12.2026+02.45 15 -NOH -NOE",
                Time(3, 0) + "\tlauncher\t" + Time(2, 0) + "\tnot running to " + Time(3, 0) + " (killed)\t",
                Time(3, 0, 10) + "\ttask 1\t" + Time(2, 0) + "\tlaunched\tc",
            }));
  EXPECT_EQ(check({"--missed", "--job", "task", "2"}),
            (std::vector<std::string>{Time(2, 0) + "\ttask 2\t" + missed + "Hourly 07.12.2026+02.00 60 -NOH -NOE",
                                      "# 1 missed slot from " + Time(0, 0) + " to " + Time(4, 0)}));

  // A file with errors plans nothing: that is said, never "0 missed slots"; the journal still reads.
  testutil::WriteFileBytes(ini, "[tasks]\ncount=1\n[task_1]\nlaunchperiod=0\n");
  const std::string untold = "tavrocheck: " + ini + " has errors: the slots missed while no launcher ran cannot be told";
  EXPECT_EQ(check({"--missed"}, 1), std::vector<std::string>{untold});
  EXPECT_EQ(check({"--history"}, 1).size(), 7u);  // the journal's six lines and that one
}

}  // namespace
}  // namespace tavro
