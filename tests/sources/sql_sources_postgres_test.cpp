// The SQL sources against a real PostgreSQL server through its ODBC driver, as a plant's SQL Server
// would be reached; run by tests/testing/postgres_server.sh, natively and under wine.

#include <gtest/gtest.h>

#include "config/ini_file.h"
#include "config/ini_reading.h"
#include "sources/ip21_reader.h"
#include "sources/mssql_reader.h"
#include "sources/odbc_database.h"
#include "sources/plant_sources.h"
#include "support/clock.h"
#include "support/date_time_text.h"
#include "testing/postgres_server.h"
#include "testing/recording_log.h"

namespace tavro {
namespace {

using testutil::PostgresServer;
using testutil::RecordingLog;

const std::string kQuery = "select val from pd where tag=:tag and ts between :pred and :po";

DateTime At(int hour, int minute, int second = 0) { return MakeDateTime(2026, 12, 7, hour, minute, second); }

// The sessions of other clients on the database: a reader holds none between reads.
std::int64_t OtherSessions() {
  OdbcDatabase database;
  database.SetConnectionString(PostgresServer::Get().ConnectionString());
  database.SetSql("select pid from pg_stat_activity where datname = current_database() and pid <> pg_backend_pid()",
                  ParameterParsing::Off);
  database.OpenQuery();
  return database.RecordCount();
}

bool Mentions(const RecordingLog& log, const std::string& text) {
  for (const testutil::LoggedEntry& entry : log.entries) {
    if (entry.message.find(text) != std::string::npos) return true;
  }
  return false;
}

struct SqlServerReader {
  OdbcDatabase database;
  RecordingLog log;
  SystemClock clock;
  MssqlReader reader{database, log, clock};
};

TEST(OdbcDatabase, CountsTheRowsAndStandsOnTheFirstOrTheLast) {
  const struct {
    ParameterParsing parsing;
    const char* sql;
    bool parameters;
  } cases[] = {
      // The colons of the times in the literals are no parameters, with parsing off or on.
      {ParameterParsing::Off,
       "select val from pd where tag='FI101' and ts between '2026-12-07 09:00' and '2026-12-07 10:00:00'", false},
      {ParameterParsing::On,
       "select val from pd where tag='FI101' and ts between '2026-12-07 09:00' and '2026-12-07 10:00:00'", false},
      {ParameterParsing::On, "select val from pd where tag=:tag and ts between :pred and :po", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    OdbcDatabase database;
    database.SetConnectionString(PostgresServer::Get().ConnectionString());
    database.Open();
    database.Open();
    database.SetSql(c.sql, c.parsing);
    if (c.parameters) {
      database.SetParameter(1, std::string("FI101"));
      database.SetParameter(2, At(9, 0));
      database.SetParameter(3, At(10, 0));
      EXPECT_THROW(database.SetParameter(4, At(10, 0)), DatabaseError);
    }
    if (!c.parameters) {
      EXPECT_THROW(database.SetParameter(1, At(10, 0)), DatabaseError);
    }
    database.OpenQuery();
    EXPECT_EQ(database.RecordCount(), 3);
    EXPECT_EQ(database.FirstColumnAsDouble(), 1.5);
    database.Last();
    EXPECT_EQ(database.FirstColumnAsDouble(), 3.5);
    database.First();
    EXPECT_EQ(database.FirstColumnAsDouble(), 1.5);
    database.Close();
    database.Close();
  }
}

TEST(OdbcDatabase, AQueryThatRunsTooLongEndsWithAnError) {
  OdbcDatabase database(OdbcTimeouts{5, 1});
  database.SetConnectionString(PostgresServer::Get().ConnectionString());
  database.SetSql("select pg_sleep(60)", ParameterParsing::Off);
  EXPECT_THROW(database.OpenQuery(), DatabaseError);
}

TEST(SqlServerSource, ReadsTheLastValueOfTheWindowOnAConnectionOfItsOwn) {
  SqlServerReader r;
  r.reader.Prepare(PostgresServer::Get().MssqlSettings());
  EXPECT_EQ(OtherSessions(), 0);
  const struct {
    const char* tag;
    std::int32_t intervalLength;
    DateTime time;
    double value;
  } cases[] = {
      {"FI101", 60, At(10, 0), 3.5},   // three rows, both ends included: the last one
      {"FI101", 30, At(9, 59, 59), 2.5},
      {"FI101", 0, At(9, 30), 2.5},    // one instant
      {"FI101", 10, At(9, 25), -20},   // no row
      {"fi101", 60, At(10, 0), -20},   // tags are compared as the server compares texts
      {"O'BRIEN.PV", 60, At(10, 0), 4.25},
      {"UNIT2.RUN", 15, At(10, 15), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    EXPECT_EQ(r.reader.ReadMssqlValue(c.tag, c.intervalLength, c.time), c.value);
    // No row is no value of the tag; a value of 0 is one.
    const std::optional<ReadFailure> failure = r.reader.TakeFailure();
    EXPECT_EQ(failure ? failure->Meaning() : "",
              c.value == -20 ? "no value was found from " + DateTimeText(AddMinutes(c.time, -c.intervalLength)) +
                                   " to " + DateTimeText(c.time)
                             : "");
    EXPECT_EQ(OtherSessions(), 0);
  }
  EXPECT_TRUE(r.log.entries.empty());
}

TEST(SqlServerSource, ValuesWrittenAsTextAreNumbersOrAnError) {
  SqlServerReader r;
  ProgramSettings settings = PostgresServer::Get().MssqlSettings();
  settings.MssqlTable = "pdtext";
  r.reader.Prepare(settings);
  const std::pair<const char*, double> values[] = {{"TXT.NUM", 12.5}, {"TXT.EXP", -0.0015}, {"TXT.NULL", 0.0}};
  for (const auto& [tag, value] : values) EXPECT_EQ(r.reader.ReadMssqlValue(tag, 60, At(10, 0)), value) << tag;
  EXPECT_TRUE(r.log.entries.empty());

  EXPECT_EQ(r.reader.ReadMssqlValue("TXT.BAD", 60, At(10, 0)), -20);
  ASSERT_EQ(r.log.entries.size(), 2u);
  EXPECT_EQ(r.log.entries[0].message, "MSSQL error:\r'abc' is not a valid floating point value");
  EXPECT_EQ(r.log.entries[1].message,
            "query:\rselect val from pdtext where tag=:tag and ts between :pred and :po\r\n");
  EXPECT_EQ(OtherSessions(), 0);
}

TEST(SqlServerSource, TheReadingSwitchesTheSourceOffWhenTheTrialFails) {
  const PostgresServer& server = PostgresServer::Get();
  const struct {
    std::string extra;  // keys that override the working section (the first of duplicates wins)
    std::string message;
  } cases[] = {
      {"", ""},
      {"table=nothere\n", "relation \"nothere\" does not exist"},
      {"valuecolumn=nothere\n", "column \"nothere\" does not exist"},
      {"password=Wrong;pass}word\n", "password authentication failed for user \"" + server.user + "\""},
      {"database=nothere\n", "database \"nothere\" does not exist"},
      {"driver=No Such Driver\n", "No Such Driver"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.extra);
    std::string ini = server.MssqlIni();
    ini.insert(ini.find("[mssql]\n") + 8, c.extra);
    ini += "[tasks]\ncount=1\n[task_1]\nexename=t\ntaskname=T\nrunningtag=FI101\n";
    LauncherState state;
    RecordingLog log;
    SystemClock clock;
    ReadDeadline deadline(clock);
    PlantSources sources(state.Settings, log, clock, deadline, ".");
    ReadConfiguration(state, IniFile::Parse(ini),
                      ReadingContext{log, clock.Now(), PrepareSelectedSource(sources)});
    EXPECT_TRUE(state.Settings.IniValid);
    EXPECT_FALSE(Mentions(log, "Wrong;pass}word"));
    EXPECT_FALSE(Mentions(log, server.password));
    EXPECT_EQ(OtherSessions(), 0);
    if (c.message.empty()) {
      EXPECT_EQ(state.Settings.SourceMode, kSourceMssql);
      EXPECT_FALSE(Mentions(log, "MSSQL"));
      continue;
    }
    EXPECT_EQ(state.Settings.SourceMode, kSourceNone);
    ASSERT_GE(log.entries.size(), 3u);
    const testutil::LoggedEntry& error = log.entries[1];
    EXPECT_TRUE(error.stamped);
    EXPECT_EQ(error.message.rfind("MSSQL error\r\n[", 0), 0u) << error.message;
    EXPECT_NE(error.message.find(c.message), std::string::npos) << error.message;
    EXPECT_EQ(log.entries[2].message, "MSSQL will not be used");
    EXPECT_FALSE(log.entries[2].stamped);
  }
}

TEST(Ip21Source, TheHistoriansSqlFailsOnAnotherServerThroughTheErrorPath) {
  ProgramSettings settings;
  settings.Ip21ConnectionString = "Provider=MSDASQL.1;" + PostgresServer::Get().ConnectionString();
  OdbcDatabase database;
  RecordingLog log;
  Ip21Reader reader(settings, database, log);
  EXPECT_EQ(reader.ReadIp21Value("FI101", 60, At(9, 45)), -20);
  ASSERT_EQ(log.entries.size(), 2u);
  EXPECT_TRUE(log.entries[0].stamped);
  EXPECT_EQ(log.entries[0].message.rfind("IP21 error:\r[42", 0), 0u) << log.entries[0].message;
  EXPECT_FALSE(log.entries[1].stamped);
  EXPECT_EQ(log.entries[1].message, "query:\r" + Ip21QueryText("FI101", 60, At(9, 45)));
  EXPECT_FALSE(Mentions(log, PostgresServer::Get().password));
  EXPECT_EQ(OtherSessions(), 0);
}

// The PI reader's OLE DB path sends PI's own SQL over ODBC; here a PostgreSQL schema plays PI's.
TEST(PiOleDbSource, ReadsTheMinuteBeforeTheSlotAndHoldsNoConnection) {
  const PostgresServer& server = PostgresServer::Get();
  ProgramSettings settings;
  settings.SourceMode = kSourcePi;
  settings.PiAccess = kPiOleDb;
  settings.PiHost = "127.0.0.1";
  settings.PiUser = server.user;
  settings.PiPassword = server.password;
  settings.PiDriver = PostgresServer::kDriver;
  settings.PiOdbcAttributes = "Port=" + server.port + ";Database=" + server.database;
  RecordingLog log;
  SystemClock clock;
  ReadDeadline deadline(clock);
  PlantSources sources(settings, log, clock, deadline, ".");
  const std::pair<const char*, double> values[] = {{"UNIT1.RUN", 1}, {"UNIT2.RUN", 0}};
  for (const auto& [tag, value] : values) {
    TUkol task;
    task.runningtag = tag;
    EXPECT_EQ(sources.ReaderFor(settings).Read(GateRequest{task, 1, At(10, 15)}), value) << tag;
    EXPECT_EQ(OtherSessions(), 0);
  }
  EXPECT_TRUE(log.entries.empty());

  settings.PiPassword = "wrong";
  TUkol task;
  task.runningtag = "UNIT1.RUN";
  EXPECT_EQ(sources.ReaderFor(settings).Read(GateRequest{task, 1, At(10, 15)}), -20);
  ASSERT_EQ(log.entries.size(), 1u);
  EXPECT_EQ(log.entries[0].message.rfind("Exception\r\n[", 0), 0u) << log.entries[0].message;
  EXPECT_FALSE(Mentions(log, "wrong"));
}

// Stops the server for a while; it runs again when the test ends, however it ends.
TEST(SqlServerSource, AStoppedServerFailsTheReadsOrHoldsTheGatesUntilItIsBack) {
  const PostgresServer& server = PostgresServer::Get();
  SqlServerReader r;
  r.reader.Prepare(server.MssqlSettings());
  EXPECT_EQ(r.reader.ReadMssqlValue("FI101", 60, At(10, 0)), 3.5);
  {
    testutil::RestartAtEnd restart;
    server.Stop();
    EXPECT_EQ(r.reader.ReadMssqlValue("FI101", 60, At(10, 0)), -20);
    ASSERT_EQ(r.log.entries.size(), 2u);
    EXPECT_EQ(r.log.entries[0].message.rfind("MSSQL error:\r[08", 0), 0u) << r.log.entries[0].message;
    EXPECT_EQ(r.log.entries[1].message, "query:\r" + kQuery + "\r\n");
    EXPECT_FALSE(Mentions(r.log, server.password));
    EXPECT_EQ(r.reader.TakeFailure()->Meaning().rfind("the source failed: MSSQL error: [08", 0), 0u);
  }
  EXPECT_EQ(r.reader.ReadMssqlValue("FI101", 60, At(10, 0)), 3.5);
  EXPECT_EQ(r.log.entries.size(), 2u);

  // Away at the reading: the gates are held (not opened) until the first tick it answers.
  r.log.entries.clear();
  {
    testutil::RestartAtEnd restart;
    server.Stop();
    EXPECT_THROW(r.reader.Prepare(server.MssqlSettings()), SourceUnreachable);
    EXPECT_TRUE(r.reader.KeepReady());
    TUkol gated;
    gated.runningtag = "FI101";
    EXPECT_EQ(r.reader.Read(GateRequest{gated, 1, At(10, 0)}), -20);
    EXPECT_TRUE(r.log.entries.empty());
    EXPECT_TRUE(r.reader.TakeFailure()->ofTheSource);
  }
  EXPECT_TRUE(r.reader.KeepReady());
  ASSERT_EQ(r.log.entries.size(), 1u);
  EXPECT_EQ(r.log.entries[0].message, "MSSQL answers again: tasks are gated on it again");
  EXPECT_EQ(r.reader.ReadMssqlValue("FI101", 60, At(10, 0)), 3.5);
}

}  // namespace
}  // namespace tavro
