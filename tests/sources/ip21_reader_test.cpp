#include "sources/ip21_reader.h"

#include <gtest/gtest.h>

#include "support/date_time_text.h"
#include "testing/fake_database.h"
#include "testing/recording_log.h"

namespace tavro {
namespace {

using testutil::LoggedEntry;

TEST(Ip21Reader, TimesArePlainHours) {
  const struct {
    DateTime time;
    const char* text;
  } cases[] = {
      {MakeDateTime(2026, 12, 7, 9, 45, 30), "07-DEC-2026 09:00"},
      {MakeDateTime(2026, 3, 5, 7), "05-MAR-2026 07:00"},
      {MakeDateTime(2027, 1, 1, 0, 30), "01-JAN-2027 00:00"},
      {MakeDateTime(2026, 12, 31, 23, 59, 59, 999), "31-DEC-2026 23:00"},
      {MakeDateTime(999, 6, 15, 12), "15-JUN-999 12:00"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatIp21Time(c.time), c.text);

  const std::pair<std::int32_t, const char*> periods[] = {
      {60, "01:00"}, {90, "01:00"}, {30, "00:00"}, {0, "00:00"}, {1440, "24:00"}, {6000, "100:00"}};
  for (const auto& [minutes, text] : periods) EXPECT_EQ(Ip21PeriodText(minutes), text) << minutes;
}

TEST(Ip21Reader, TheQueryAsksTheAggregatesForTheWindow) {
  const struct {
    const char* tag;
    std::int32_t intervalLength;
    DateTime time;
    const char* query;
  } cases[] = {
      {"FI101", 60, MakeDateTime(2026, 12, 7, 9, 45),
       "select avg from aggregates where name='FI101' and ts between '07-DEC-2026 08:00' and '07-DEC-2026 09:00' "
       "and period=01:00"},
      // Both ends in one hour: 09:45 less 30 minutes is still 09:00.
      {"FI101", 30, MakeDateTime(2026, 12, 7, 9, 45),
       "select avg from aggregates where name='FI101' and ts between '07-DEC-2026 09:00' and '07-DEC-2026 09:00' "
       "and period=00:00"},
      {"FI101", 1440, MakeDateTime(2026, 12, 7, 9, 15),
       "select avg from aggregates where name='FI101' and ts between '06-DEC-2026 09:00' and '07-DEC-2026 09:00' "
       "and period=24:00"},
      {"FI101", 60, MakeDateTime(2027, 1, 1, 0, 30),
       "select avg from aggregates where name='FI101' and ts between '31-DEC-2026 23:00' and '01-JAN-2027 00:00' "
       "and period=01:00"},
      // A quote in the tag stays inside the literal, also where a backslash would escape it.
      {"O'BRIEN.PV", 60, MakeDateTime(2026, 12, 7, 10),
       "select avg from aggregates where name='O''BRIEN.PV' and ts between '07-DEC-2026 09:00' and "
       "'07-DEC-2026 10:00' and period=01:00"},
      {"x\\' union select 42 --", 60, MakeDateTime(2026, 12, 7, 10),
       "select avg from aggregates where name='x\\\\'' union select 42 --' and ts between '07-DEC-2026 09:00' and "
       "'07-DEC-2026 10:00' and period=01:00"},
  };
  for (const auto& c : cases) EXPECT_EQ(Ip21QueryText(c.tag, c.intervalLength, c.time), c.query);
}

TEST(Ip21Reader, TheOdbcBridgeProviderIsDroppedAndAnyOtherProviderRefused) {
  const std::pair<const char*, const char*> cases[] = {
      {"DSN=IP21;UID=u;PWD=p", "DSN=IP21;UID=u;PWD=p"},
      {"Provider=MSDASQL.1;DSN=IP21;UID=u", "DSN=IP21;UID=u"},
      {" provider = msdasql ;Driver={Aspen SQLplus};Host=ip21;PWD={a;b}", "Driver={Aspen SQLplus};Host=ip21;PWD={a;b}"},
  };
  for (const auto& [configured, odbc] : cases) EXPECT_EQ(Ip21OdbcConnectionString(configured), odbc);
  try {
    Ip21OdbcConnectionString("Provider=SQLOLEDB;Data Source=ip21");
    FAIL() << "another OLE DB provider must be refused";
  } catch (const DatabaseError& error) {
    EXPECT_NE(std::string(error.what()).find("OLE DB provider SQLOLEDB"), std::string::npos) << error.what();
  }
}

struct Reader {
  ProgramSettings settings;
  testutil::FakeDatabase database;
  testutil::RecordingLog log;
  Ip21Reader reader{settings, database, log};
};

const DateTime kTime = MakeDateTime(2026, 12, 7, 9, 45);
const std::string kQuery =
    "select avg from aggregates where name='FI101' and ts between '07-DEC-2026 08:00' and '07-DEC-2026 09:00' "
    "and period=01:00";

using EntryList = std::vector<std::pair<bool, std::string>>;  // stamped, message

EntryList Entries(const testutil::RecordingLog& log) {
  EntryList entries;
  for (const LoggedEntry& entry : log.entries) entries.emplace_back(entry.stamped, entry.message);
  return entries;
}

TEST(Ip21Reader, AReadTakesTheLastRowOrLogsThatThereWasNone) {
  const struct {
    std::vector<double> rows;
    bool debug;
    double value;
    EntryList entries;
  } cases[] = {
      {{3.0, 4.5}, false, 4.5, {}},
      {{3.0, 4.5},
       true,
       4.5,
       {{true, "Tag: FI101"}, {false, "Time: " + DateTimeText(kTime)}, {false, "Value: " + NumberText(4.5)}}},
      {{}, false, -20, {{true, "No value for FI101 time 07-DEC-2026 09:00"}}},
      {{},
       true,
       -20,
       {{true, "Tag: FI101"},
        {false, "Time: " + DateTimeText(kTime)},
        {true, "No value for FI101 time 07-DEC-2026 09:00"},
        {false, kQuery}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rows.size() << " rows, debug " << c.debug);
    Reader r;
    r.settings.DebugMode = c.debug;
    r.settings.Ip21ConnectionString = "Provider=MSDASQL;DSN=IP21";
    r.database.rows = c.rows;
    EXPECT_EQ(r.reader.ReadIp21Value("FI101", 60, kTime), c.value);
    EXPECT_EQ(Entries(r.log), c.entries);
    const std::vector<std::string> opening{"Close", "SetConnectionString DSN=IP21", "SetSql Off " + kQuery, "Open",
                                           "OpenQuery", "RecordCount"};
    EXPECT_EQ(std::vector<std::string>(r.database.calls.begin(), r.database.calls.begin() + 6), opening);
    EXPECT_EQ(r.database.calls.back(), "Close");
    EXPECT_FALSE(r.database.Connected());
  }
}

TEST(Ip21Reader, AFailedReadLogsTheMessageAndTheQueryAsFarAsItWasBuilt) {
  const struct {
    const char* constr;
    const char* failAt;
    std::string query;
  } cases[] = {
      {"DSN=IP21", "Open", kQuery},
      {"DSN=IP21", "OpenQuery", kQuery},
      {"DSN=IP21", "FirstColumnAsDouble", kQuery},
      // Refused before the query was built.
      {"Provider=SQLOLEDB;Data Source=ip21", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failAt);
    Reader r;
    r.settings.Ip21ConnectionString = c.constr;
    r.database.rows = {1.0};
    r.database.failAt = c.failAt;
    EXPECT_EQ(r.reader.ReadIp21Value("FI101", 60, kTime), -20);
    ASSERT_EQ(r.log.entries.size(), 2u);
    EXPECT_TRUE(r.log.entries[0].stamped);
    const std::string& message = r.log.entries[0].message;
    EXPECT_EQ(message.substr(0, 12), "IP21 error:\r");
    if (*c.failAt != 0) {
      EXPECT_EQ(message, "IP21 error:\r[HY000] injected failure");
    }
    EXPECT_EQ(r.log.entries[1].stamped, false);
    EXPECT_EQ(r.log.entries[1].message, "query:\r" + c.query);
    EXPECT_EQ(r.database.calls.back(), "Close");
    EXPECT_FALSE(r.database.Connected());
  }
}

}  // namespace
}  // namespace tavro
