#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jobs/status_record.h"
#include "support/process_facts.h"
#include "testing/capture_output.h"
#include "testing/child_process.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

// A status by the test's own process runs; one by a process that is gone is stale, as is none at
// all; one of a launcher that ended says so; a file that is no status is unreadable, and --json does
// not pass it on. The table shows each job's next due time, its last launch and how it went.
TEST(TavrocheckStatus, TellsRunningStaleEndedAndUnreadableStatuses) {
  const auto status = [](int processId, LauncherRunState state = LauncherRunState::Running) {
    StatusRecord record;
    record.processId = processId;
    record.version = "1.0";
    record.serviceMode = true;
    record.state = state;
    if (state == LauncherRunState::Ended) record.stopReason = "service stop";
    record.written = {MakeDateTime(2026, 12, 7, 10, 20, 0), 0};
    record.reading = {ZonedTime{MakeDateTime(2026, 12, 7, 10, 0, 2), 0}, true, 1};
    record.source.mode = "kord";
    StatusRecord::Job& job = record.jobs.emplace_back();
    job.kind = JobKind::Task;
    job.number = 2;
    job.section = "task_2";
    job.name = "Balance";
    job.next = ZonedTime{MakeDateTime(2026, 12, 7, 10, 30, 0), 0};
    job.lastLaunch = ZonedTime{MakeDateTime(2026, 12, 7, 10, 15, 10), 0};
    job.command = "t";
    job.result = LaunchResult::Failed;
    job.returnValue = 2;
    job.meaning = "No such file";
    job.lastEnd = RunEndRecord{true, 9, 1500};
    StatusRecord::Job& held = record.jobs.emplace_back(job);
    held.result = LaunchResult::Held;
    held.heldBy = "RUN";
    held.heldValue = -20;
    held.sourceFailed = "MSSQL error";
    held.readAgainUntil = ZonedTime{MakeDateTime(2026, 12, 7, 10, 45, 0), 0};
    return StatusRecordText(record);
  };
  const struct {
    const char* name;
    std::string file;  // "" for none
    int exitCode;
    std::string shown;
  } cases[] = {
      {"running", status(CurrentProcessId()), 0,
       "2026-12-07 10:30:00  8min 0s  2026-12-07 10:15:10  6min 50s ago  task 2 Balance  failed, return value 2 "
       "(No such file); last run: ended by signal 9 after 1.5 s"},
      {"stale", status(999999999), 4, "launcher stale: process 999999999 no longer runs"},
      {"ended", status(CurrentProcessId(), LauncherRunState::Ended), 6, "launcher ended (service stop)"},
      {"missing", "", 4, ""},
      {"damaged", status(CurrentProcessId()).substr(0, 200), 8, "is no status file of the launcher"},
      {"no status", "[1, 2]", 8, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testutil::TempDir dir;
    if (!c.file.empty()) testutil::WriteFileBytes(dir.File("plant.status"), c.file);
    for (const bool json : {false, true}) {
      std::vector<std::string> args{"--ini", dir.File("plant.ini"), "--now", "2026-12-07 10:22:00", "--status"};
      if (json) args.push_back("--json");
      const testutil::CapturedRun run = testutil::RunProgramCapture(testutil::TestProgramPath("tavrocheck"), args);
      EXPECT_EQ(run.exitCode, c.exitCode);
      if (!json) {
        EXPECT_NE(run.output.find(c.shown), std::string::npos) << run.output;
        const std::string held = "source failed for RUN (-20): MSSQL error; read again until 2026-12-07 10:45:00";
        EXPECT_EQ(run.output.find(held) != std::string::npos, !c.file.empty() && c.exitCode != 8) << run.output;
      } else if (c.exitCode == 8) {
        EXPECT_EQ(run.output.find("{"), std::string::npos) << run.output;  // the file only when it is a status
      }
    }
  }
}

}  // namespace
}  // namespace tavro
