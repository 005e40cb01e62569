#include "support/log_severity.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/log_file.h"
#include "support/simulated_clock.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

// The launcher's own texts, and words of a program's arguments that must not fool the ranking.
TEST(LogSeverity, EntriesRankAsTheJournalShouldShowThem) {
  const struct {
    const char* message;
    LogSeverity severity;
  } cases[] = {
      {"/opt/jobs/error_report /A=PUMP launched successfully", LogSeverity::Info},
      {"/opt/jobs/pump /A=PUMP launch failed, return value 2", LogSeverity::Error},
      {"/opt/jobs/warn_failed_runs x NOT launched due to value of TAG1 (0)", LogSeverity::Warning},
      {"In ini found these errors:\r\n[pump_1] launchperiod", LogSeverity::Error},
      {"MSSQL error\r\nconnection refused", LogSeverity::Error},
      {"read of TAG1 timed out after 30 s", LogSeverity::Error},
      {"No value for TAG1 on 07.12.2026 10:00:00", LogSeverity::Error},
      {"Warning: in ini found these risks:", LogSeverity::Warning},
      {"[report_1] stupid minute, set to 10", LogSeverity::Warning},
      {"[report_1] error in hour, set to 1", LogSeverity::Warning},
      {"Tasks in ini O.K.", LogSeverity::Info},
      {"MSSQL answers again: tasks are gated on it again", LogSeverity::Info},
  };
  for (const auto& c : cases) EXPECT_EQ(SeverityOfEntry(c.message), c.severity) << c.message;
}

// For the journal every line of an entry carries its level and no time stamp of its own; the
// file keeps its layout.
TEST(LogSeverity, JournalEchoPrefixesEveryLineWithTheLevel) {
  testutil::TempDir dir;
  SimulatedClock clock(MakeDateTime(2026, 12, 7, 4, 25));
  DailyLogFile log(dir.File("tavrorun"), clock);
  std::ostringstream journal;
  log.EchoTo(&journal, DailyLogFile::EchoStyle::SyslogLevels);
  log.Entry("MSSQL error\r\nconnection refused\rretry");
  log.Entry("Starting");
  EXPECT_EQ(journal.str(), "<3>MSSQL error\n<3>connection refused\n<3>retry\n<6>Starting\n");
  EXPECT_NE(testutil::ReadFileBytes(dir.File("tavrorun.007.txt")).find("\tMSSQL error\r\nconnection refused\r"),
            std::string::npos);
}

}  // namespace
}  // namespace tavro
