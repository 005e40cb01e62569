// tavrocheck against a real database server, run by tests/testing/postgres_server.sh: the check's
// trial of the SQL Server source (--source), and a re-run whose gate is read as the launcher reads it.

#include <gtest/gtest.h>

#include "testing/capture_output.h"
#include "testing/child_process.h"
#include "testing/postgres_server.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

using testutil::PostgresServer;

std::string WithTable(const std::string& table, const std::string& jobs) {
  std::string ini = PostgresServer::Get().MssqlIni();
  ini.insert(ini.find("[mssql]\n") + 8, "table=" + table + "\n");
  return ini + jobs;
}

bool Has(const testutil::CapturedRun& run, const std::string& text) { return run.output.find(text) != std::string::npos; }

TEST(TavrocheckSource, TheCheckTriesTheSourceOnlyWhenAsked) {
  testutil::TempDir folder;
  const std::string ini = folder.File("tavrorun.ini");
  const struct {
    std::string table;
    bool trySource;
    int exitCode;
    bool notUsed;  // "MSSQL will not be used"
    bool notTried;  // the line that says the source was not tried
  } cases[] = {
      {"pdx", true, 5, true, false},
      // The findings (a repeated key, a readable password) give 3, a source switched off 5.
      {"pdx", false, 3, false, true},
      {"pd", true, 3, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.table + (c.trySource ? " --source" : ""));
    testutil::WriteFileBytes(ini, WithTable(c.table, "[tasks]\ncount=1\n[task_1]\nexename=t\ntaskname=T\nrunningtag=FI101\n"));
    std::vector<std::string> args{"--ini", ini, "--now", "2026-12-07 10:07:30"};
    if (c.trySource) args.push_back("--source");
    const testutil::CapturedRun run = testutil::RunProgramCapture(testutil::TestProgramPath("tavrocheck"), args);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
    EXPECT_EQ(Has(run, "MSSQL will not be used\r\n"), c.notUsed) << run.output;
    EXPECT_EQ(Has(run, "MSSQL error\r\n["), c.notUsed) << run.output;
    EXPECT_EQ(Has(run, "note: [mssql] the source was not tried; --source tries it as the launcher's reading does\r\n"),
              c.notTried)
        << run.output;
    EXPECT_FALSE(Has(run, PostgresServer::Get().password)) << run.output;
  }
}

TEST(TavrocheckRerun, ReadsTheGateAsTheLauncherDoes) {
  testutil::TempDir folder;
  const std::string ini = folder.File("tavrorun.ini");
  const std::string program = testutil::TestProgramPath("exitwith");
  const struct {
    std::string table, tag;
    bool noGate;
    int exitCode;
    std::string entry;
  } cases[] = {
      {"pd", "UNIT2.RUN", false, 7, "NOT launched due to value of UNIT2.RUN (0)\r\n"},
      {"pd", "FI101", false, 0, "launched successfully\r\n"},
      {"pd", "UNIT2.RUN", true, 0, "launched successfully\r\n"},
      // The trial fails as it would in the launcher: the source is not used, the task runs ungated.
      {"pdx", "UNIT2.RUN", false, 0, "launched successfully\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.table + " " + c.tag + (c.noGate ? " --nogate" : ""));
    testutil::WriteFileBytes(ini, WithTable(c.table, "[tasks]\ncount=1\n[task_1]\nlaunchperiod=15\nphase=0\n"
                                                     "intervallength=15\nexename=" + program +
                                                     "\ntaskname=T\nrunningtag=" + c.tag + "\n"));
    std::vector<std::string> args{"--ini", ini, "--rerun", "--job", "task", "1", "--slot", "2026-12-07 10:00:00"};
    if (c.noGate) args.push_back("--nogate");
    const testutil::CapturedRun run = testutil::RunProgramCapture(testutil::TestProgramPath("tavrocheck"), args);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
    EXPECT_TRUE(Has(run, "\tRe-run: " + program + " T 07.12.2026+10.00 15 -NOH -NOE " + c.entry)) << run.output;
  }
}

}  // namespace
}  // namespace tavro
