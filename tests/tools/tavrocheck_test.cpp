#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/date_time.h"
#include "support/date_time_text.h"
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

TEST(Tavrocheck, ShowsTheFirstTimesOfAValidFileAndExitsWithZero) {
  testutil::TempDir folder;
  const std::string ini = folder.File("plant.ini");
  testutil::WriteFileBytes(ini,
                           "[program]\nmod=kord\n"
                           "[pumps]\ncount=1\n[pump_1]\nlaunchperiod=15\nphase=5\nexename=p\nsource=s\ntarget=t\n"
                           "tagfile=f\n[pump_2]\nexename=never read\n"
                           "[batches]\ncount=1\n[batch_1]\nexename=b\ntaskname=B\n"
                           "[tasks]\ncount=1\n[task_1]\nexename=t\ntaskname=T\nlaunchperiod=0x0F\nphase=5\n"
                           "[reports]\ncount=2\nexename=r\n[report_1]\ndayofweek=1\n[report_2]\ndayofweek=2\n");
  const testutil::CapturedRun run = Check({"--now", kNowArgument, "--ini", ini});
  EXPECT_EQ(run.exitCode, 0);
  const std::string expectedEnd = Stamped("Tasks in ini O.K.") + "pump_1\tpump\tLastTime " +
                                  DateTimeText(MakeDateTime(2026, 12, 7, 9, 50)) + "\r\nbatch_1\tbatch\tLastTime " +
                                  DateTimeText(MakeDateTime(2026, 12, 7, 0, 10)) + "\tNextTime " +
                                  DateTimeText(MakeDateTime(2026, 12, 8, 0, 10)) + "\r\ntask_1\ttask\tLastTime " +
                                  DateTimeText(MakeDateTime(2026, 12, 7, 9, 45)) +
                                  "\r\nreport_1\treport\tDueToday yes\r\nreport_2\treport\tDueToday no\r\n";
  ASSERT_GE(run.output.size(), expectedEnd.size()) << run.output;
  EXPECT_EQ(run.output.substr(run.output.size() - expectedEnd.size()), expectedEnd) << run.output;
  EXPECT_EQ(run.output.rfind(Stamped("Reading ini..."), 0), 0u) << run.output;
}

TEST(Tavrocheck, ReadsTavroruniniOfTheCurrentFolderByDefault) {
  testutil::TempDir folder;
  testutil::WriteFileBytes(folder.File("tavrorun.ini"), "[tasks]\ncount=1\n[task_1]\nexename=t\ntaskname=T\n");
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.Path());
  const testutil::CapturedRun run = Check({"--now", kNowArgument});
  std::filesystem::current_path(previous);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("Tasks in ini O.K."), std::string::npos) << run.output;
}

TEST(Tavrocheck, RefusesAWrongCommandLineWithItsUsage) {
  const std::vector<std::vector<std::string>> commandLines{
      {"--ini"},
      {"--bogus", "x"},
      {"plant.ini"},
      {"--now", "2026-12-07"},
      {"--now", "2026-02-29 10:00:00"},
      {"--now", "2026-12-07 24:00:00"},
      {"--ini", ""},
  };
  for (const std::vector<std::string>& args : commandLines) {
    const testutil::CapturedRun run = Check(args);
    EXPECT_EQ(run.exitCode, 2) << args[0];
    EXPECT_NE(run.output.find("Usage: tavrocheck [--ini FILE] [--now \"YYYY-MM-DD HH:MM:SS\"]"), std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find("Reading ini..."), std::string::npos) << run.output;
  }
}

}  // namespace
}  // namespace tavro
