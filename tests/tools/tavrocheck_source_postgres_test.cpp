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

// The first "table" is the one the reading takes.
testutil::CapturedRun Check(const std::string& table, const std::string& jobs, std::vector<std::string> args) {
  testutil::TempDir folder;
  std::string ini = PostgresServer::Get().MssqlIni();
  ini.insert(ini.find("[mssql]\n") + 8, "table=" + table + "\n");
  testutil::WriteFileBytes(folder.File("tavrorun.ini"), ini + "[tasks]\ncount=1\n[task_1]\ntaskname=T\n" + jobs);
  args.insert(args.begin(), {"--ini", folder.File("tavrorun.ini")});
  return testutil::RunProgramCapture(testutil::TestProgramPath("tavrocheck"), args);
}

TEST(TavrocheckSource, TheCheckTriesTheSourceOnlyWhenAsked) {
  // The findings (a repeated key, a readable password) give 3; a source switched off, 5.
  const struct {
    std::string table;
    std::vector<std::string> args;
    int exitCode;
    bool notUsed, notTried;  // "MSSQL will not be used"; the line that says the source was not tried
  } cases[] = {{"pdx", {"--source"}, 5, true, false}, {"pdx", {}, 3, false, true}, {"pd", {"--source"}, 3, false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.table + (c.args.empty() ? "" : " --source"));
    const testutil::CapturedRun run = Check(c.table, "exename=t\nrunningtag=FI101\n", c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
    EXPECT_EQ(run.output.find("MSSQL error\r\n[") != std::string::npos, c.notUsed) << run.output;
    EXPECT_EQ(run.output.find("MSSQL will not be used\r\n") != std::string::npos, c.notUsed) << run.output;
    EXPECT_EQ(run.output.find("note: [mssql] the source was not tried; --source tries it as the launcher's reading "
                              "does\r\n") != std::string::npos,
              c.notTried)
        << run.output;
    EXPECT_EQ(run.output.find(PostgresServer::Get().password), std::string::npos) << run.output;
  }
}

TEST(TavrocheckRerun, ReadsTheGateAsTheLauncherDoes) {
  const std::string program = testutil::TestProgramPath("exitwith");
  // A trial that fails leaves the source unused, as in the launcher: the task runs ungated.
  const struct {
    std::string table, tag, option;
    int exitCode;
    std::string entry;
  } cases[] = {{"pd", "UNIT2.RUN", "", 7, "NOT launched due to value of UNIT2.RUN (0)"},
               {"pd", "FI101", "", 0, "launched successfully"},
               {"pd", "UNIT2.RUN", "--nogate", 0, "launched successfully"},
               {"pdx", "UNIT2.RUN", "", 0, "launched successfully"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.table + " " + c.tag + " " + c.option);
    std::vector<std::string> args{"--rerun", "--job", "task", "1", "--slot", "2026-12-07 10:00:00"};
    if (!c.option.empty()) args.push_back(c.option);
    const testutil::CapturedRun run = Check(c.table, "launchperiod=15\nphase=0\nintervallength=15\nexename=" + program +
                                                         "\nrunningtag=" + c.tag + "\n", args);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
    EXPECT_NE(run.output.find("\tRe-run: " + program + " T 07.12.2026+10.00 15 -NOH -NOE " + c.entry + "\r\n"),
              std::string::npos)
        << run.output;
  }
}

}  // namespace
}  // namespace tavro
