#include <gtest/gtest.h>

#include <string>

#include "support/process_facts.h"
#include "testing/capture_output.h"
#include "testing/child_process.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

// A status by the test's own process runs; one by a process that is gone is stale, as is none at
// all; a file that is no status is unreadable. The table shows each job's next due time, its last
// launch and how it went.
TEST(TavrocheckStatus, TellsRunningStaleAndUnreadableStatuses) {
  const std::string job =
      R"({"kind": "task", "number": 2, "section": "task_2", "name": "Balance", "next": "2026-12-07 10:30:00",
          "lastLaunch": "2026-12-07 10:15:10", "command": "t", "result": "failed", "returnValue": 2,
          "meaning": "No such file", "lastEnd": {"signal": 9, "seconds": 1.5}})";
  const auto status = [&job](int processId) {
    return "{\"processId\": " + std::to_string(processId) +
           R"(, "version": "1.0", "runMode": "service", "state": "running", "stopReason": null,
               "written": "2026-12-07 10:20:00", "reading": {"time": "2026-12-07 10:00:02", "valid": true,
               "warnings": 1}, "source": {"mode": "kord", "lastReadError": null}, "jobs": [)" + job + "]}";
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
      {"missing", "", 4, ""},
      {"not JSON", "{\"processId\": 1,", 8, ""},
      {"no status", "[1, 2]", 8, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testutil::TempDir dir;
    if (!c.file.empty()) testutil::WriteFileBytes(dir.File("plant.status"), c.file);
    const testutil::CapturedRun run = testutil::RunProgramCapture(
        testutil::TestProgramPath("tavrocheck"),
        {"--ini", dir.File("plant.ini"), "--now", "2026-12-07 10:22:00", "--status"});
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_NE(run.output.find(c.shown), std::string::npos) << run.output;
  }
}

}  // namespace
}  // namespace tavro
