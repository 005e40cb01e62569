#include <gtest/gtest.h>

#include "testing/capture_output.h"
#include "testing/child_process.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

testutil::CapturedRun Probe(const std::vector<std::string>& args) {
  return testutil::RunProgramCapture(testutil::TestProgramPath("tavrocheck"), args);
}

TEST(TavrocheckProbe, ReadsWithTheSelectedSourceAndTellsWhetherTheGateOpens) {
  testutil::TempDir folder;
  const std::string ini = folder.File("tavrorun.ini");
  const std::string task = "[tasks]\ncount=1\n[task_1]\nexename=t\ntaskname=T\n";
  const struct {
    std::string program;
    int exitCode;
    std::string end;
  } cases[] = {
      {"mod=kord", 0, "\tTasks in ini O.K.\r\nvalue\t1\tgate open\r\n"},
      // No source: the launcher would run the task without looking at its tag.
      {"", 5, "\tTasks in ini O.K.\r\nvalue\tnone\tsource unavailable: the task would run ungated\r\n"},
      // An IP21 connection string for another provider: the read fails with its entries.
      {"mod=ip21\n[ip21]\nconstr=Provider=SQLOLEDB;Data Source=ip21", 7, "query:\r\r\nvalue\t-20\tgate closed: the source failed: IP21 error: The connection string names the OLE DB "
       "provider SQLOLEDB, which this launcher cannot use: it reaches IP21 through ODBC. Give an ODBC connection "
       "string (DSN=... or Driver={...};...), alone or after Provider=MSDASQL.\r\n"},
      // The launcher stays stopped: the gate is not asked.
      {"mod=kord\n[pumps]\ncount=1", 1, "\r\nvalue\tnone\tthe file has errors: the launcher would stay stopped\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.program);
    testutil::WriteFileBytes(ini, "[program]\n" + c.program + "\n" + task);
    const testutil::CapturedRun run = Probe({"--ini", ini, "--probe", "UNIT1.RUN", "--minutes", "15"});
    EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
    ASSERT_GE(run.output.size(), c.end.size()) << run.output;
    EXPECT_EQ(run.output.substr(run.output.size() - c.end.size()), c.end) << run.output;
  }
}

TEST(TavrocheckProbe, RefusesAWrongProbeWithTheUsage) {
  const std::vector<std::vector<std::string>> commandLines{
      {"--probe", ""},
      {"--probe", "T", "--at", "2026-12-07"},
      {"--probe", "T", "--minutes", "-5"},
      {"--probe", "T", "--minutes", "15x"},
      {"--probe"},
  };
  for (const std::vector<std::string>& args : commandLines) {
    const testutil::CapturedRun run = Probe(args);
    EXPECT_EQ(run.exitCode, 2) << args.back();
    EXPECT_NE(run.output.find("try 'tavrocheck --help'"), std::string::npos) << run.output;
  }
}

}  // namespace
}  // namespace tavro
