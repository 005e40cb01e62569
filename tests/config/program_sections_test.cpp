#include <gtest/gtest.h>

#include <stdexcept>

#include "config/reading_harness.h"

namespace tavro {
namespace {

using configtest::Entry;
using configtest::Reading;

// Enough of a job for the file to be valid, so that only the part under test decides.
const std::string kOneTask = "[tasks]\ncount=1\n[task_1]\nexename=t.exe\ntaskname=T\n";

TEST(ProgramSection, ChoosesTheSourceAndTheDebugMode) {
  const struct {
    const char* program;
    std::int32_t before;
    std::int32_t source;
    bool debug;
  } cases[] = {
      {"mod=PI", kSourceNone, kSourcePi, false},
      {"mod=kord", kSourceNone, kSourceKord, false},
      {"mod=Phd", kSourceNone, kSourcePhd, false},
      {"mod=IP21", kSourceNone, kSourceIp21, false},
      {"mod=\"pi\"", kSourceNone, kSourcePi, false},
      {"mod=oracle", kSourceIp21, kSourceIp21, false},  // an unknown word keeps the source
      {"mod=", kSourcePhd, kSourcePhd, false},
      {"mod= pi x", kSourceKord, kSourceKord, false},
      {"debug=1", kSourceNone, kSourceNone, true},
  };
  for (const auto& c : cases) {
    Reading reading;
    reading.state.Settings.SourceMode = c.before;
    reading.Read(std::string("[program]\n") + c.program + "\n" + kOneTask);
    EXPECT_EQ(reading.state.Settings.SourceMode, c.source) << c.program;
    EXPECT_EQ(reading.state.Settings.DebugMode, c.debug) << c.program;
    EXPECT_EQ(reading.Entries().front(), (Entry{true, "Reading ini..."})) << c.program;
  }
}

TEST(ProgramSection, DebugModeLogsTheSourceAsWritten) {
  Reading reading;
  reading.Read("[program]\nmod=Pi\ndebug=1\n" + kOneTask);
  EXPECT_TRUE(reading.Logged("mode Pi (3)"));
  reading.Read("[program]\nmod=nothing\ndebug=1\n" + kOneTask);
  EXPECT_TRUE(reading.Logged("mode nothing (3)"));
  reading.Read("[program]\nmod=Pi\n" + kOneTask);
  EXPECT_FALSE(reading.LogMentions("mode "));
}

TEST(ProgramSection, NumbersOutOfRangeAreLoggedAndKeepTheirDefaults) {
  const std::string refused = " is not a number of seconds from 1 to 3600: gate reads time out after 30 s";
  const std::string noRetry = " is not a number of minutes from 0 to 1440: a failed gate read is not read again";
  const struct {
    const char* written;
    std::int32_t seconds, retryMinutes;
    std::string entry;  // "" for none
  } cases[] = {
      {"", 30, 0, ""},
      {"readtimeout=3600\n", 3600, 0, ""},
      {"readtimeout=0\n", 30, 0, "readtimeout=0" + refused},
      {"readtimeout=3601\n", 30, 0, "readtimeout=3601" + refused},
      {"readtimeout=soon\n", 30, 0, "readtimeout=soon" + refused},
      {"retryheld=1440\n", 30, 1440, ""},
      {"retryheld=-1\n", 30, 0, "retryheld=-1" + noRetry},
      {"retryheld=1441\n", 30, 0, "retryheld=1441" + noRetry},
  };
  for (const auto& c : cases) {
    Reading reading;
    reading.Read(std::string("[program]\n") + c.written + kOneTask);
    EXPECT_EQ(reading.state.Settings.ReadTimeout, c.seconds) << c.written;
    EXPECT_EQ(reading.state.Settings.RetryHeld, c.retryMinutes) << c.written;
    EXPECT_TRUE(reading.state.Settings.IniValid) << c.written;
    EXPECT_EQ(reading.LogMentions(" is not a number of "), !c.entry.empty()) << c.written;
    EXPECT_TRUE(c.entry.empty() || reading.Logged(c.entry)) << c.written;
  }
}

TEST(SourceSections, ReadTheSelectedSourceAndDecodeItsPassword) {
  Reading reading;
  reading.Read("[program]\nmod=phd\ndebug=1\n[phd]\nuser=ann\npassword=YWJj\n" + kOneTask);
  const ProgramSettings& s = reading.state.Settings;
  EXPECT_EQ(s.PhdHost, "localhost");
  EXPECT_EQ(s.PhdUser, "ann");
  EXPECT_EQ(s.PhdPassword, "abc");
  EXPECT_TRUE(reading.Logged("host=localhost\r\nuser=ann\r\npassword is set", false));
  EXPECT_FALSE(reading.LogMentions("abc"));
  EXPECT_FALSE(reading.LogMentions("YWJj"));

  reading.Read("[program]\nmod=pi\ndebug=1\n[pi]\nhost=\napiado=0x2\n" + kOneTask);
  EXPECT_EQ(s.PiHost, "");
  EXPECT_EQ(s.PiAccess, kPiSdk);
  EXPECT_TRUE(reading.Logged("host=\r\nuser=\r\npassword is not set\r\napiado=2", false));
  // The other source's settings stay as they were.
  EXPECT_EQ(s.PhdHost, "localhost");
  EXPECT_EQ(s.PhdPassword, "abc");

  reading.Read("[program]\nmod=pi\n[pi]\nhost=h\napiado=abc\npassword=ICAg\n" + kOneTask);
  EXPECT_EQ(s.PiAccess, kPiApi);
  EXPECT_EQ(s.PiPassword, "   ");

  // The connection string is logged without its password.
  reading.Read("[program]\nmod=ip21\ndebug=1\n[ip21]\nconstr=DSN=x;UID=y;PWD={s3;cret}\n" + kOneTask);
  EXPECT_EQ(s.Ip21ConnectionString, "DSN=x;UID=y;PWD={s3;cret}");
  EXPECT_TRUE(reading.Logged("connection string=DSN=x;UID=y;PWD=*****", false));
  EXPECT_FALSE(reading.LogMentions("s3;cret"));
  EXPECT_EQ(s.PiHost, "h");

  reading.Read("[program]\nmod=kord\n[phd]\nhost=other\n[pi]\nhost=other\n" + kOneTask);
  EXPECT_EQ(s.PhdHost, "localhost");
  EXPECT_EQ(s.PiHost, "h");
}

TEST(SourceSections, AMalformedPasswordMakesTheFileInvalidButTheReadingGoesOn) {
  Reading reading;
  reading.state.Settings.PiPassword = "old";
  reading.Read("[program]\nmod=pi\ndebug=1\n[pi]\nhost=h\npassword=YWJ\n" + kOneTask);
  const ProgramSettings& s = reading.state.Settings;
  EXPECT_EQ(s.PiHost, "h");
  EXPECT_EQ(s.PiPassword, "");
  EXPECT_FALSE(s.IniValid);
  EXPECT_EQ(reading.state.Tasks.Items.at(0).exename, "t.exe");
  EXPECT_TRUE(reading.Logged("host=h\r\nuser=\r\npassword is not set\r\napiado=0", false));
  EXPECT_EQ(reading.Last(),
            (Entry{true, configtest::ErrorVerdict(
                                   {"Wrong password in section pi: Base64ToStr: illegal input length!"})}));
}

const std::string kMssql =
    "[program]\nmod=mssql\ndebug=1\n[mssql]\nhost=db\nuser=u\npassword=p\ndatabase=d\ntable=t\n"
    "tagcolumn=tag\ntimecolumn=time\nvaluecolumn=value\ndriver=ODBC Driver 18 for SQL Server\n";

TEST(MssqlSection, TriesTheSettingsThroughTheSeam) {
  Reading reading;
  ProgramSettings tried;
  int calls = 0;
  reading.prepareSource = [&](const ProgramSettings& settings) {
    tried = settings;
    ++calls;
  };
  reading.Read(kMssql + kOneTask);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(tried.MssqlHost, "db");
  EXPECT_EQ(tried.MssqlValueColumn, "value");
  EXPECT_EQ(tried.MssqlDriver, "ODBC Driver 18 for SQL Server");
  EXPECT_EQ(reading.state.Settings.SourceMode, kSourceMssql);
  const std::vector<std::string> debugLines{
      "MSSQL\r\nhost db", "user u",         "\r\npassword is set", "database d",
      "table t",           "tagcolumn tag", "timecolumn time",     "valuecolumn value",
  };
  for (const std::string& line : debugLines) EXPECT_TRUE(reading.Logged(line, false)) << line;
  EXPECT_FALSE(reading.LogMentions("will not be used"));

  reading.prepareSource = [](const ProgramSettings&) { throw std::runtime_error("Login failed"); };
  reading.Read(kMssql + kOneTask);
  EXPECT_TRUE(reading.Logged("MSSQL error\r\nLogin failed"));
  EXPECT_TRUE(reading.Logged("MSSQL will not be used", false));
  EXPECT_EQ(reading.state.Settings.SourceMode, kSourceNone);
  EXPECT_TRUE(reading.state.Settings.IniValid);

  // A server that did not answer keeps the source: its gates are held, not opened.
  reading.prepareSource = [](const ProgramSettings&) { throw SourceUnreachable("[08001] Connection refused"); };
  reading.Read(kMssql + kOneTask);
  EXPECT_TRUE(reading.Logged("MSSQL error\r\n[08001] Connection refused"));
  EXPECT_TRUE(reading.Logged("MSSQL cannot be reached: tasks gated on it are held until it answers", false));
  EXPECT_FALSE(reading.LogMentions("will not be used"));
  EXPECT_EQ(reading.state.Settings.SourceMode, kSourceMssql);
  EXPECT_TRUE(reading.state.Settings.IniValid);
}

TEST(MssqlSection, EmptySettingsSwitchTheSourceOffWithoutMakingTheFileInvalid) {
  Reading reading;
  int calls = 0;
  reading.prepareSource = [&](const ProgramSettings&) { ++calls; };
  reading.Read("[program]\nmod=mssql\n[mssql]\nuser=u\npassword=p\ndatabase=d\ntable=t\ntagcolumn=a\n" + kOneTask);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(reading.state.Settings.SourceMode, kSourceNone);
  EXPECT_TRUE(reading.state.Settings.IniValid);
  EXPECT_TRUE(reading.Logged(
      "In MSSQL part of ini found these errors:\r\n\r\nMSSQL no host specified\r\nMSSQL no timecolumn "
      "specified\r\nMSSQL no valuecolumn specified"));
  EXPECT_TRUE(reading.Logged("MSSQL will not be used", false));

  reading.Read("[program]\nmod=mssql\n" + kOneTask);
  EXPECT_TRUE(reading.Logged(
      "In MSSQL part of ini found these errors:\r\n\r\nMSSQL no host specified\r\nMSSQL no user specified\r\n"
      "MSSQL password is not set\r\nMSSQL no database specified\r\nMSSQL no table specified\r\n"
      "MSSQL no tagcolumn specified\r\nMSSQL no timecolumn specified\r\nMSSQL no valuecolumn specified"));
}

}  // namespace
}  // namespace tavro
