// The PI reader's OLE DB path (apiado=1) over the database seam: the query, the connection made
// afresh from the settings, and the "Exception" entry for every failure.

#include <gtest/gtest.h>

#include <algorithm>

#include "sources/pi_oledb_reader.h"
#include "support/date_time_text.h"
#include "testing/fake_database.h"
#include "testing/recording_log.h"

namespace tavro {
namespace {

const DateTime kSlot = MakeDateTime(2026, 12, 7, 10, 15);

struct OleDbReader {
  OleDbReader() {
    settings.PiHost = "plant";
    settings.PiUser = "op";
    settings.PiPassword = "s3cret";
    settings.PiDriver = "PI ODBC";
  }
  ProgramSettings settings;
  testutil::RecordingLog log;
  testutil::FakeDatabase database;
  PiOleDbReader reader{settings, log, database};

  double Read() { return reader.ReadPiValue("UNIT.RUN", settings.PiHost, settings.PiUser, settings.PiPassword, kSlot); }
};

TEST(PiOleDbRead, TheConnectionStringFollowsTheSettings) {
  const struct {
    const char* driver;
    const char* user;
    const char* password;
    const char* expected;
  } cases[] = {
      {"PI ODBC", "op", "s3cret", "Driver={PI ODBC};Server=plant;PWD=s3cret;UID=op"},
      {"PI ODBC", "op", "", "Driver={PI ODBC};Server=plant;UID=op"},  // no password: none sent
      {"PI ODBC", "", "", "Driver={PI ODBC};Server=plant;UID="},      // the user always
      {"{X}", "o;p", "a}b", "Driver={{X}}};Server=plant;PWD={a}}b};UID={o;p}"},
  };
  for (const auto& c : cases) {
    ProgramSettings s;
    s.PiHost = "plant";
    s.PiDriver = c.driver;
    s.PiUser = c.user;
    s.PiPassword = c.password;
    EXPECT_EQ(PiOdbcConnectionString(s), c.expected);
  }
  EXPECT_THROW(PiOdbcConnectionString(ProgramSettings{}), DatabaseError);
}

TEST(PiOleDbRead, ReadsTheMinuteBeforeTheSlotAndClosesAfterwards) {
  OleDbReader r;
  r.settings.DebugMode = true;
  r.database.rows = {0.75};
  EXPECT_EQ(r.Read(), 0.75);
  EXPECT_EQ(r.database.calls,
            (std::vector<std::string>{"CloseQuery", "SetSql On " + std::string(kPiSnapSql), "SetParameter 1 UNIT.RUN",
                                      "SetParameter 2 2026-12-07 10:14:00", "SetParameter 3 2026-12-07 10:15:00",
                                      "SetConnectionString Driver={PI ODBC};Server=plant;PWD=s3cret;UID=op", "Open",
                                      "OpenQuery", "First", "FirstColumnAsDouble", "Close"}));
  const std::vector<std::string> logged = r.log.Messages();
  ASSERT_GE(logged.size(), 3u);
  EXPECT_EQ(logged[1], "using ADO");
  EXPECT_EQ(logged[2], "Opening PIOLEDB");
}

// Every failure gives -20 and one entry, without the password, and closes the connection: the next
// read connects afresh.
TEST(PiOleDbRead, EveryFailureIsTheExceptionEntry) {
  const std::string tail = "\r\nfor tag=UNIT.RUN\r\nhost=plant\r\nuser=op\r\ntime=" + DateTimeText(kSlot);
  const struct {
    const char* failAt;
    const char* driver;
    const char* failure;  // what the driver says
    const char* logged;   // what the log says of it
  } cases[] = {
      {"", "", "", "no ODBC driver for PI is configured: name it with the key driver of [pi]"},
      {"Open", "PI ODBC", "[28000] login of op with s3cret refused", "[28000] login of op with ***** refused"},
      {"OpenQuery", "PI ODBC", "[42S02] no table", "[42S02] no table"},
      {"FirstColumnAsDouble", "PI ODBC", "[22018] value abc", "[22018] value abc"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.logged);
    OleDbReader r;
    r.settings.PiDriver = c.driver;
    r.database.failAt = c.failAt;
    r.database.failure = c.failure;
    EXPECT_EQ(r.Read(), -20);
    EXPECT_EQ(r.log.Messages(), std::vector<std::string>{"Exception\r\n" + std::string(c.logged) + tail});
    EXPECT_FALSE(r.database.Connected());
    r.database.failAt.clear();
    r.settings.PiDriver = "PI ODBC";
    r.database.rows = {2.5};
    EXPECT_EQ(r.Read(), 2.5);
  }
}

}  // namespace
}  // namespace tavro
