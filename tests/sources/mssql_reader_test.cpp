#include "sources/mssql_reader.h"

#include <gtest/gtest.h>

#include "config/ini_reading.h"
#include "sources/mssql_driver.h"
#include "support/simulated_clock.h"
#include "testing/fake_database.h"
#include "testing/recording_log.h"

namespace tavro {
namespace {

using Sent = std::vector<testutil::FakeDatabase::SentQuery>;

ProgramSettings PlantTable() {
  ProgramSettings s;
  s.MssqlHost = "db";
  s.MssqlUser = "u";
  s.MssqlPassword = "p";
  s.MssqlDatabase = "plant";
  s.MssqlTable = "pd";
  s.MssqlTagColumn = "tag";
  s.MssqlTimeColumn = "ts";
  s.MssqlValueColumn = "val";
  s.MssqlDriver = "Test Driver";
  return s;
}

const std::string kQuery = "select val from pd where tag=:tag and ts between :pred and :po";
const std::string kSentQuery = "select val from pd where tag=? and ts between ? and ?";
const std::string kConnection = "Driver={Test Driver};Server=db;Database=plant;UID=u;PWD=p";

TEST(MssqlReader, TheSettingsMakeTheQueryAndTheOdbcConnectionString) {
  EXPECT_EQ(MssqlQueryText(PlantTable()), kQuery);
  const struct {
    const char* driver;
    const char* password;
    const char* odbc;
    std::string expected;
  } cases[] = {
      {"Test Driver", "p", "", "Driver={Test Driver};Server=db;Database=plant;UID=u;PWD=p"},
      {"", "p", "", "Driver={" + std::string(DefaultMssqlDriver()) + "};Server=db;Database=plant;UID=u;PWD=p"},
      // A value that would end early, or lose a brace, is braced and its "}" doubled.
      {"A}B", "pa;ss}", "", "Driver={A}}B};Server=db;Database=plant;UID=u;PWD={pa;ss}}}"},
      {"D", "p", "Port=5433;TrustServerCertificate=yes",
       "Driver={D};Server=db;Database=plant;UID=u;PWD=p;Port=5433;TrustServerCertificate=yes"},
      {"D", "p", ";Encrypt=no", "Driver={D};Server=db;Database=plant;UID=u;PWD=p;Encrypt=no"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    ProgramSettings s = PlantTable();
    s.MssqlDriver = c.driver;
    s.MssqlPassword = c.password;
    s.MssqlOdbcAttributes = c.odbc;
    EXPECT_EQ(MssqlConnectionString(s), c.expected);
  }
}

struct Reader {
  explicit Reader(TrialConnection made = TrialConnection::Close) : trial(made) {}
  testutil::FakeDatabase database;
  testutil::RecordingLog log;
  SimulatedClock clock{MakeDateTime(2026, 12, 7, 10, 7, 30)};
  TrialConnection trial;
  MssqlReader reader{database, log, clock, trial};
};

TEST(MssqlReader, PrepareTriesTheQueryOnceAndLeavesItPreparedOnAClosedOrKeptConnection) {
  for (const TrialConnection trial : {TrialConnection::Close, TrialConnection::KeepForRead}) {
    SCOPED_TRACE(static_cast<int>(trial));
    Reader r(trial);
    r.reader.Prepare(PlantTable());
    EXPECT_EQ(r.database.sent, (Sent{{kConnection, kSentQuery, {"a", "2026-12-07 00:00:00", "2026-12-07 10:07:30"}}}));
    EXPECT_EQ(r.database.Connected(), trial == TrialConnection::KeepForRead);
    EXPECT_TRUE(r.log.entries.empty());
  }
}

TEST(MssqlReader, AFailedPreparationReachesTheCallerWithTheConnectionClosed) {
  for (const char* step : {"Open", "SetSql", "OpenQuery"}) {
    SCOPED_TRACE(step);
    Reader r;
    r.database.failAt = step;
    r.database.failure = "[28000] Login failed";
    EXPECT_THROW(
        {
          try {
            r.reader.Prepare(PlantTable());
          } catch (const DatabaseError& error) {
            EXPECT_STREQ(error.what(), "[28000] Login failed");
            throw;
          }
        },
        DatabaseError);
    EXPECT_FALSE(r.database.Connected());
    EXPECT_TRUE(r.log.entries.empty());
  }
}

// Only a server that did not answer holds the gates and is retried (the postgres tests follow that
// through); settings it refused keep switching the source off.
TEST(MssqlReader, OnlyAnUnreachableServerIsWaitedFor) {
  const std::pair<const char*, bool> cases[] = {
      {"[08001] could not connect to server: Connection refused", true},
      {"[HYT00] Login timeout expired", true},
      {"[01000] notice\r\n[08S01] Communication link failure", true},
      {"[28000] Login failed", false},
      {"[08001] FATAL:  password authentication failed", false},  // psqlODBC: the server answered
  };
  for (const auto& [failure, unreachable] : cases) {
    EXPECT_EQ(ServerUnreachable(DatabaseError(failure)), unreachable) << failure;
  }
  Reader r;
  r.database.failAt = "Open";
  r.database.failure = cases[0].first;
  EXPECT_THROW(r.reader.Prepare(PlantTable()), SourceUnreachable);
}

TEST(MssqlReader, AReadRunsThePreparedQueryOverTheWindowAndTakesTheLastRow) {
  const struct {
    std::vector<double> rows;
    std::int32_t intervalLength;
    DateTime time;
    double value;
    std::vector<std::string> parameters;
  } cases[] = {
      {{1.5, 2.5, 3.5}, 60, MakeDateTime(2026, 12, 7, 10), 3.5,
       {"FI101", "2026-12-07 09:00:00", "2026-12-07 10:00:00"}},
      // An interval of 0 asks for one instant; no row is -20 and nothing is logged.
      {{}, 0, MakeDateTime(2026, 12, 7, 9, 30), -20, {"FI101", "2026-12-07 09:30:00", "2026-12-07 09:30:00"}},
      {{0.0}, 1440, MakeDateTime(2027, 1, 1), 0.0, {"FI101", "2026-12-31 00:00:00", "2027-01-01 00:00:00"}},
  };
  // Each read runs on a connection of its own, after a trial that closed or kept one.
  for (const TrialConnection trial : {TrialConnection::Close, TrialConnection::KeepForRead}) {
    Reader r(trial);
    r.reader.Prepare(PlantTable());
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << c.value << " trial " << static_cast<int>(trial));
      r.database.rows = c.rows;
      EXPECT_EQ(r.reader.ReadMssqlValue("FI101", c.intervalLength, c.time), c.value);
      EXPECT_EQ(r.database.sent.back(), (Sent::value_type{kConnection, kSentQuery, c.parameters}));
      EXPECT_FALSE(r.database.Connected());
    }
    EXPECT_EQ(r.database.sent.size(), 4u);
    EXPECT_TRUE(r.log.entries.empty());
  }
}

TEST(MssqlReader, AFailedReadLogsTheMessageAndTheQueryAndClosesTheConnection) {
  for (const char* step : {"Open", "OpenQuery", "FirstColumnAsDouble"}) {
    SCOPED_TRACE(step);
    Reader r;
    r.reader.Prepare(PlantTable());
    r.database.rows = {7.0};
    r.database.failAt = step;
    r.database.failure = "[08S01] Communication link failure";
    EXPECT_EQ(r.reader.ReadMssqlValue("FI101", 60, MakeDateTime(2026, 12, 7, 10)), -20);
    ASSERT_EQ(r.log.entries.size(), 2u);
    EXPECT_TRUE(r.log.entries[0].stamped);
    // A bare carriage return after the colon; the query entry ends with an empty line.
    EXPECT_EQ(r.log.entries[0].message, "MSSQL error:\r[08S01] Communication link failure");
    EXPECT_FALSE(r.log.entries[1].stamped);
    EXPECT_EQ(r.log.entries[1].message, "query:\r" + kQuery + "\r\n");
    EXPECT_FALSE(r.database.Connected());
  }
}

}  // namespace
}  // namespace tavro
