#include <gtest/gtest.h>

#include <algorithm>
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

// --job keeps exactly the chosen job's lines, and its summary counts them; a job without launches
// is said to have none.
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
    std::vector<std::string> lines = Lines(run.output);
    const auto summary =
        std::find_if(lines.begin(), lines.end(), [](const std::string& line) { return line[0] == '#'; });
    EXPECT_EQ(std::vector<std::string>(lines.begin(), summary), expected) << job;
    EXPECT_EQ(CountContaining(std::vector<std::string>(summary, lines.end()),
                              "# " + job + "\t" + std::to_string(expected.size()) + " launch"),
              1)
        << run.output;
  }
  // A job without launches is said to have none; one that the file does not have is a wrong command line.
  const struct {
    const char* kind;
    const char* number;
    int exitCode;
    std::string note;
  } quiet[] = {{"report", "1", 0, "tavrocheck: no launch of report 1 in 1 hours"},
               {"task", "3", 2, "tavrocheck: there is no task 3 in " + ini}};
  for (const auto& c : quiet) {
    const testutil::CapturedRun run = testutil::RunProgramCapture(
        testutil::TestProgramPath("tavrocheck"),
        {"--plan", "1", "--ini", ini, "--now", "2026-12-07 10:07:30", std::string("--job=") + c.kind, c.number});
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(run.output.rfind(c.note, 0), 0u) << run.output;
  }
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
