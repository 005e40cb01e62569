#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/date_time.h"
#include "support/date_time_text.h"
#include "support/version.h"
#include "testing/capture_output.h"
#include "testing/child_process.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

const DateTime kNow = MakeDateTime(2026, 12, 7, 10, 7, 30);
const char* const kNowArgument = "2026-12-07 10:07:30";

std::string Stamped(const std::string& message) { return LogStamp(kNow) + "\t" + message + "\r\n"; }

testutil::CapturedRun Check(const std::vector<std::string>& args) {
  return testutil::RunProgramCapture(testutil::TestProgramPath("tavrocheck"), args);
}

TEST(Tavrocheck, ListsTheErrorsOfAnEmptyPumpAndExitsWithOne) {
  testutil::TempDir folder;
  const std::string ini = folder.File("plant.ini");
  testutil::WriteFileBytes(ini, "[pumps]\r\ncount=1\r\n[pump_1]\r\n");
  const testutil::CapturedRun run = Check({"--ini", ini, "--now", kNowArgument});
  const std::string lastTime = DateTimeText(MakeDateTime(2026, 12, 7, 9, 10));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.output, Stamped("Reading ini...") + Stamped("Last time for pump in pump_1 set to " + lastTime) +
                            Stamped("In ini found these errors:\r\n\r\nNo EXE name found in pump_1\r\n"
                                    "No source name found in pump_1\r\nNo target name found in pump_1\r\n"
                                    "No tagfile name found in pump_1") +
                            "pump_1\tpump\tLastTime " + lastTime + "\r\n");
}

TEST(Tavrocheck, ShowsTheFirstTimesOfAValidFileThenItsFindingsAndExitsWithThree) {
  testutil::TempDir folder;
  const std::string ini = folder.File("plant.ini");
  const std::string program = testutil::TestProgramPath("tavrocheck");
  testutil::WriteFileBytes(ini,
                           "[program]\nmod=kord\n"
                           "[pumps]\ncount=1\n[pump_1]\nlaunchperiod=15\nphase=5\nexename=" + program +
                               "\nsource=s\ntarget=t\ntagfile=f\n[pump_2]\nexename=never read\n"
                               "[batches]\ncount=1\n[batch_1]\nexename=" + program + "\ntaskname=B\n"
                               "[tasks]\ncount=1\n[task_1]\nexename=" + program + "\ntaskname=T\nlaunchperiod=0x0F\n"
                               "phase=5\n[reports]\ncount=2\nexename=" + program + "\n[report_1]\ndayofweek=1\n"
                               "template=t\n[report_2]\ndayofweek=2\ntemplate=t\n");
  const testutil::CapturedRun run = Check({"--now", kNowArgument, "--ini", ini});
  EXPECT_EQ(run.exitCode, 3);
  const std::string expectedEnd =
      Stamped("Tasks in ini O.K.") + "pump_1\tpump\tLastTime " + DateTimeText(MakeDateTime(2026, 12, 7, 9, 50)) +
      "\r\nbatch_1\tbatch\tLastTime " + DateTimeText(MakeDateTime(2026, 12, 7, 0, 10)) + "\tNextTime " +
      DateTimeText(MakeDateTime(2026, 12, 8, 0, 10)) + "\r\ntask_1\ttask\tLastTime " +
      DateTimeText(MakeDateTime(2026, 12, 7, 9, 45)) +
      "\r\nreport_1\treport\tDueToday yes\r\nreport_2\treport\tDueToday no\r\n"
      "finding: [pump_2]: nothing reads this section: the launcher reads pump_1 to pump_1 ([pumps] count)\r\n";
  ASSERT_GE(run.output.size(), expectedEnd.size()) << run.output;
  EXPECT_EQ(run.output.substr(run.output.size() - expectedEnd.size()), expectedEnd) << run.output;
  EXPECT_EQ(run.output.rfind(Stamped("Reading ini..."), 0), 0u) << run.output;
}

TEST(Tavrocheck, ReadsTavroruniniOfTheCurrentFolderByDefault) {
  testutil::TempDir folder;
  testutil::WriteFileBytes(folder.File("tavrorun.ini"), "[tasks]\ncount=1\n[task_1]\nexename=" +
                                                            testutil::TestProgramPath("tavrocheck") + "\ntaskname=T\n");
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.Path());
  const testutil::CapturedRun run = Check({"--now", kNowArgument});
  std::filesystem::current_path(previous);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("Tasks in ini O.K."), std::string::npos) << run.output;
}

// A usage error says in one line what is wrong and where the help is; --help alone shows the usage.
// Thousands of jobs fill more than one block of the listing and of the findings: every line comes, in order.
TEST(Tavrocheck, WritesEveryLineOfManyJobsInOrder) {
  testutil::TempDir folder;
  const std::string ini = folder.File("plant.ini");
  const int jobs = 3000;
  std::string text = "[tasks]\ncount=" + std::to_string(jobs) + "\n";
  for (int i = 1; i <= jobs; ++i) {
    text += "[task_" + std::to_string(i) + "]\ntaskname=T\nexename=" + folder.File("no") + "\n";
  }
  testutil::WriteFileBytes(ini, text);
  const testutil::CapturedRun run = Check({"--ini", ini, "--now", kNowArgument});
  EXPECT_EQ(run.exitCode, 3);
  int listed = 0;
  int found = 0;
  std::istringstream in(run.output);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("task_", 0) == 0) {
      EXPECT_EQ(line.rfind("task_" + std::to_string(++listed) + "\t", 0), 0u) << line;
    }
    if (line.rfind("finding: ", 0) == 0) {
      EXPECT_EQ(line.rfind("finding: [task_" + std::to_string(++found) + "]", 0), 0u) << line;
    }
  }
  EXPECT_EQ(listed, jobs);
  EXPECT_EQ(found, jobs);
}

TEST(Tavrocheck, AnswersEachCommandLineWithItsExitCodeAndFirstLine) {
  testutil::TempDir folder;
  const std::string ini = folder.File("plant.ini");
  testutil::WriteFileBytes(ini, "[pumps]\ncount=1\n[pump_1]\n");
  const std::string usage = "Usage: tavrocheck [--ini FILE] [--now \"YYYY-MM-DD HH:MM:SS\"] [--source]";
  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::string firstLine;
  } cases[] = {
      {{"--help"}, 0, usage},
      {{"-h"}, 0, usage},
      {{"--version"}, 0, std::string("tavrocheck (Tavro Launcher) ") + kVersion},
      {{"--ini=" + ini, "--now=" + std::string(kNowArgument)}, 1, LogStamp(kNow) + "\tReading ini..."},
      {{"--ini"}, 2, "tavrocheck: --ini needs FILE"},
      {{"--bogus", "x"}, 2, "tavrocheck: unknown argument --bogus"},
      {{"plant.ini"}, 2, "tavrocheck: unknown argument plant.ini"},
      {{"--now", "2026-12-07"}, 2, "tavrocheck: wrong value for --now: \"2026-12-07\" (expected \"YYYY-MM-DD HH:MM:SS\")"},
      {{"--now", "2026-02-29 10:00:00"}, 2,
       "tavrocheck: wrong value for --now: \"2026-02-29 10:00:00\" (expected \"YYYY-MM-DD HH:MM:SS\")"},
      {{"--now", "2026-12-07 24:00:00"}, 2,
       "tavrocheck: wrong value for --now: \"2026-12-07 24:00:00\" (expected \"YYYY-MM-DD HH:MM:SS\")"},
      {{"--ini", ""}, 2, "tavrocheck: wrong value for --ini: \"\" (expected a file name)"},
      {{"--ini="}, 2, "tavrocheck: wrong value for --ini: \"\" (expected a file name)"},
      {{"--help=yes"}, 2, "tavrocheck: --help takes no value"},
      {{"--job", "pump", "1"}, 2, "tavrocheck: --job works only with --plan, --history, --missed and --rerun"},
      {{"--status", "--plan", "1"}, 2,
       "tavrocheck: --plan, --probe, --status, --history, --missed and --rerun exclude each other"},
      {{"--since", "2026-12-07 10:00:00"}, 2, "tavrocheck: --since and --until work only with --history, --missed and --rerun"},
      {{"--history", "--since", "2026-12-07 10:00:00", "--until", "2026-12-07 09:00:00"}, 2,
       "tavrocheck: --until comes before --since"},
      {{"--rerun", "--job", "task", "1"}, 2, "tavrocheck: --rerun needs either --slot TIME or --since TIME --until TIME"},
      {{"--rerun", "--job", "task", "1", "--since", "2026-12-07 10:00:00"}, 2,
       "tavrocheck: --rerun needs both --since and --until"},
      {{"--rerun", "--job", "task", "1", "--slot", "2026-12-07 10:00:00", "--now", "2026-12-07 10:00:00"}, 2,
       "tavrocheck: --rerun goes by the clock: --now does not work with it"},
      {{"--slot", "2026-12-07 10:00:00"}, 2, "tavrocheck: --slot and --nogate work only with --rerun"},
      {{"--plan", "1", "--job", "pump"}, 2, "tavrocheck: --job needs KIND N"},
      {{"--plan", "1", "--job", "pomp", "1"}, 2,
       "tavrocheck: wrong value for --job: \"pomp\" \"1\" (expected pump, batch, task or report and a job number from 1)"},
      {{"--plan", "1", "--job", "pump", "0"}, 2,
       "tavrocheck: wrong value for --job: \"pump\" \"0\" (expected pump, batch, task or report and a job number from 1)"},
  };
  for (const auto& c : cases) {
    const testutil::CapturedRun run = Check(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.args[0];
    // Line ends as the platform's text streams write them.
    std::vector<std::string> lines;
    std::istringstream in(run.output);
    for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.find('\r')));
    ASSERT_FALSE(lines.empty()) << c.args[0];
    EXPECT_EQ(lines[0], c.firstLine);
    if (c.exitCode == 2) {
      EXPECT_EQ(lines, (std::vector<std::string>{c.firstLine, "try 'tavrocheck --help'"}));
    }
  }
}

}  // namespace
}  // namespace tavro
