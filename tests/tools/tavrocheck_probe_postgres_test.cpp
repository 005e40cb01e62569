// tavrocheck --probe over a real database connection, run by tests/testing/postgres_server.sh.

#include <gtest/gtest.h>

#include "support/date_time.h"
#include "support/date_time_text.h"
#include "testing/capture_output.h"
#include "testing/child_process.h"
#include "testing/postgres_server.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

using testutil::PostgresServer;

TEST(TavrocheckProbe, ReadsTheGateValueWithTheConfiguredSqlServerSource) {
  const PostgresServer& server = PostgresServer::Get();
  testutil::TempDir folder;
  const std::string ini = folder.File("tavrorun.ini");
  testutil::WriteFileBytes(ini, server.MssqlIni() + "[tasks]\ncount=1\n[task_1]\nexename=t\ntaskname=T\n");
  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::string lastLine;
    std::string entry;  // an entry of the read, or "" for none
  } cases[] = {
      {{"--probe", "FI101", "--at", "2026-12-07 10:00:00", "--minutes", "60"}, 0, "value\t3.5\tgate open", ""},
      {{"--probe", "FI101", "--at", "2026-12-07 09:30:00"}, 0, "value\t2.5\tgate open", ""},
      {{"--probe", "UNIT2.RUN", "--at", "2026-12-07 10:00:00", "--minutes", "15"}, 7, "value\t0\tgate closed", ""},
      {{"--probe", "NO.SUCH.TAG", "--at", "2026-12-07 10:00:00"}, 7,
       "value\t-20\tgate closed: no value was found from " + DateTimeText(MakeDateTime(2026, 12, 7, 9, 0)) + " to " +
           DateTimeText(MakeDateTime(2026, 12, 7, 10, 0)),
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[1]);
    std::vector<std::string> args{"--ini", ini, "--now", "2026-12-07 10:07:30"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const testutil::CapturedRun run =
        testutil::RunProgramCapture(testutil::TestProgramPath("tavrocheck"), args);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
    EXPECT_EQ(run.output.rfind(LogStamp(MakeDateTime(2026, 12, 7, 10, 7, 30)) + "\tReading ini...\r\n", 0), 0u)
        << run.output;
    const std::string last = c.lastLine + "\r\n";
    ASSERT_GE(run.output.size(), last.size());
    EXPECT_EQ(run.output.substr(run.output.size() - last.size()), last) << run.output;
    EXPECT_EQ(run.output.find("MSSQL"), std::string::npos) << run.output;
  }

  // A trial that fails switches the source off, and the probe says so.
  std::string wrongTable = server.MssqlIni();
  wrongTable.insert(wrongTable.find("[mssql]\n") + 8, "table=nothere\n");
  testutil::WriteFileBytes(ini, wrongTable + "[tasks]\ncount=1\n[task_1]\nexename=t\ntaskname=T\n");
  const testutil::CapturedRun run = testutil::RunProgramCapture(
      testutil::TestProgramPath("tavrocheck"), {"--ini", ini, "--probe", "FI101", "--at", "2026-12-07 10:00:00"});
  EXPECT_EQ(run.exitCode, 5) << run.output;
  EXPECT_NE(run.output.find("MSSQL error\r\n["), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("MSSQL will not be used\r\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("value\tnone\tsource unavailable: the task would run ungated\r\n"), std::string::npos)
      << run.output;
  EXPECT_EQ(run.output.find(server.password), std::string::npos) << run.output;
}

}  // namespace
}  // namespace tavro
