#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/process_path.h"
#include "testing/capture_output.h"
#include "testing/child_process.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

testutil::CapturedRun Plan(const std::string& ini, const std::string& hours, const std::string& now) {
  return testutil::RunProgramCapture(testutil::TestProgramPath("tavrocheck"),
                                     {"--plan", hours, "--ini", ini, "--now", now});
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

int CountContaining(const std::vector<std::string>& lines, const std::string& text) {
  int count = 0;
  for (const std::string& line : lines) count += line.find(text) != std::string::npos ? 1 : 0;
  return count;
}

// The pump, the short task and the long task of the period rules' worked examples, read at 10:07:30.
TEST(TavrocheckPlan, GivesTheWorkedExamplesSlotTimes) {
  testutil::TempDir folder;
  const std::string ini = folder.File("examples.ini");
  testutil::WriteFileBytes(ini,
                           "[program]\nmod=kord\n[pumps]\ncount=1\n[pump_1]\nlaunchperiod=15\nphase=5\n"
                           "exename=/opt/tavro/pump\nsource=S1\ntarget=T1\ntagfile=tags.txt\n"
                           "[tasks]\ncount=2\n[task_1]\nlaunchperiod=15\nphase=5\nintervallength=15\n"
                           "exename=/opt/tavro/task\ntaskname=Short\n"
                           "[task_2]\nlaunchperiod=120\nphase=70\nintervallength=60\nexename=/opt/tavro/task\n"
                           "taskname=Long\nrunningtag=UNIT.RUN\n");
  const testutil::CapturedRun run = Plan(ini, "24", "2026-12-07 10:07:30");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::vector<std::string> lines = Lines(run.output);
  const std::vector<std::string> first = {
      "2026-12-07 10:07:40\tpump 1\t/opt/tavro/pump  /A=PUMP /d1=07.12.2026+10:00 /d2=07.12.2026+10:00 /tS=60 "
      "/sN=S1 /tN=T1 /fN=tags.txt /aV",
      "2026-12-07 10:07:40\ttask 1\t/opt/tavro/task Short 07.12.2026+10.00 15 -NOH -NOE",
      "2026-12-07 10:07:40\ttask 2\t/opt/tavro/task Long 07.12.2026+02.00 60 -NOH -NOE\tgated by UNIT.RUN",
      "2026-12-07 10:07:56\ttask 2\t/opt/tavro/task Long 07.12.2026+04.00 60 -NOH -NOE\tgated by UNIT.RUN",
      "2026-12-07 10:08:08\ttask 2\t/opt/tavro/task Long 07.12.2026+06.00 60 -NOH -NOE\tgated by UNIT.RUN",
      "2026-12-07 10:08:20\ttask 2\t/opt/tavro/task Long 07.12.2026+08.00 60 -NOH -NOE\tgated by UNIT.RUN",
      "2026-12-07 10:20:09\tpump 1\t/opt/tavro/pump  /A=PUMP /d1=07.12.2026+10:15 /d2=07.12.2026+10:15 /tS=60 "
      "/sN=S1 /tN=T1 /fN=tags.txt /aV",
      "2026-12-07 10:20:09\ttask 1\t/opt/tavro/task Short 07.12.2026+10.15 15 -NOH -NOE",
  };
  ASSERT_GE(lines.size(), first.size());
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + first.size()), first);
  // A day and one of quarter hours for the pump and the short task; the long task every two hours after
  // catching up, with its slot 50 minutes before each launch.
  EXPECT_EQ(CountContaining(lines, "\tpump 1\t"), 97);  // slots 10:00 to 10:00 of the next day
  EXPECT_EQ(CountContaining(lines, "\ttask 1\t"), 97);
  EXPECT_EQ(CountContaining(lines, "Long 07.12.2026+10.00 60"), 1);
  EXPECT_EQ(lines.back().rfind("2026-12-08 10:0", 0), 0u) << lines.back();
}

TEST(TavrocheckPlan, PreviewsTheDemoConfiguration) {
  const std::string ini = FolderOf(testutil::TestProgramPath("tavrocheck")) + "/demo.ini";
  const testutil::CapturedRun run = Plan(ini, "24", "2026-12-07 10:07:30");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::vector<std::string> lines = Lines(run.output);
  EXPECT_EQ(lines.front(),
            "2026-12-07 10:07:40\tpump 1\t/opt/tavro/jobs/demojob  /A=PUMP /d1=07.12.2026+10:07 "
            "/d2=07.12.2026+10:07 /tS=1 /sN=PlantHistorian /tN=Warehouse /fN=/opt/tavro/tags.txt /aV");
  EXPECT_EQ(CountContaining(lines, "\ttask 1\t/opt/tavro/jobs/demojob \"Unit efficiency\" 07.12.2026+10.05 5 -NOH "
                                   "-NOE -KORDD\tgated by UNIT1.RUNNING"),
            1);
  EXPECT_EQ(CountContaining(lines, "\tbatch 1\t/opt/tavro/jobs/demojob  /A=AC /tn=\"Daily balance\" "
                                   "/d1=07.12.2026+00.00 /d2=07.12.2026+23.00 /dS=60 /nH /nE"),
            1);
  // The report's 06:30 has passed on the 7th: it runs on the 8th.
  EXPECT_EQ(CountContaining(lines, "2026-12-08 06:30:"), 2);  // the pump and the report
  EXPECT_EQ(CountContaining(lines, "\treport 1\t/opt/tavro/jobs/demojob A8:shiftreport"), 1);
}

// Four days of every kind of job over a turn of the year, byte for byte as the launcher has always
// launched them: work on the launcher's speed must not move a launch.
TEST(TavrocheckPlan, PreviewIsByteForByteTheExpectedOne) {
  const std::string folder = FolderOf(testutil::TestProgramPath("tavrocheck"));
  const testutil::CapturedRun run = Plan(folder + "/preview.ini", "96", "2026-12-29 22:13:45");
  ASSERT_EQ(run.exitCode, 0);
  const std::string expected = testutil::ReadFileBytes(folder + "/preview_expected.txt");
  ASSERT_FALSE(expected.empty());
  EXPECT_TRUE(run.output == expected) << "the preview differs from preview_expected.txt";
}

// --job keeps exactly the chosen job's lines; a job without launches is said to have none.
TEST(TavrocheckPlan, ShowsOneJobsLaunches) {
  const std::string ini = FolderOf(testutil::TestProgramPath("tavrocheck")) + "/demo.ini";
  const std::vector<std::string> all = Lines(Plan(ini, "24", "2026-12-07 10:07:30").output);
  for (const std::string job : {"pump 1", "task 1", "task 2", "batch 1", "report 1"}) {
    const std::string kind = job.substr(0, job.find(' '));
    const testutil::CapturedRun run = testutil::RunProgramCapture(
        testutil::TestProgramPath("tavrocheck"),
        {"--plan", "24", "--ini", ini, "--now", "2026-12-07 10:07:30", "--job", kind, job.substr(kind.size() + 1)});
    EXPECT_EQ(run.exitCode, 0) << job;
    std::vector<std::string> expected;
    for (const std::string& line : all) {
      if (line.find("\t" + job + "\t") != std::string::npos) expected.push_back(line);
    }
    EXPECT_FALSE(expected.empty()) << job;
    EXPECT_EQ(Lines(run.output), expected) << job;
  }
  const testutil::CapturedRun none = testutil::RunProgramCapture(
      testutil::TestProgramPath("tavrocheck"),
      {"--plan", "24", "--ini", ini, "--now", "2026-12-07 10:07:30", "--job=task", "3"});
  EXPECT_EQ(none.exitCode, 0);
  EXPECT_EQ(none.output.rfind("tavrocheck: no launch of task 3 in 24 hours", 0), 0u) << none.output;
}

TEST(TavrocheckPlan, InvalidFileLaunchesNothingAndBadHoursAreUsageErrors) {
  testutil::TempDir folder;
  const std::string ini = folder.File("bad.ini");
  testutil::WriteFileBytes(ini, "[pumps]\ncount=1\n");
  const testutil::CapturedRun invalid = Plan(ini, "24", "2026-12-07 10:07:30");
  EXPECT_EQ(invalid.exitCode, 1);
  EXPECT_EQ(invalid.output, "");
  for (const std::string hours : {"0", "-1", "x", "87601", "1e3"}) {
    EXPECT_EQ(Plan(ini, hours, "2026-12-07 10:07:30").exitCode, 2) << hours;
  }
}

}  // namespace
}  // namespace tavro
