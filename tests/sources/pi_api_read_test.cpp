// The PI reader's PI API path against the fake PI API library, and the binding as the tick keeps it.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "sources/pi_api_reader.h"
#include "support/date_time_text.h"
#include "support/simulated_clock.h"
#include "testing/fake_pi_api.h"
#include "testing/recording_log.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

using testutil::FakePiApiPath;
using testutil::LoggedEntry;

const std::string kLibraryName = SystemPiApiLibrary(".").reportName;

class PiApiRead : public ::testing::Test {
 protected:
  testutil::FakePiApi fake;
  PiApiBinding binding{{{FakePiApiPath("complete")}, kLibraryName}};
  ProgramSettings settings;
  testutil::RecordingLog log;
  SimulatedClock clock;
  ReadDeadline deadline{clock};
  PiApiReader reader{settings, log, binding, deadline};
};

TEST_F(PiApiRead, EveryStepsFailureHasItsValueAndDebugText) {
  const DateTime slot = MakeDateTime(2026, 12, 7, 10, 15);
  const std::string login = "piut_login(op,secret)";
  const std::string connect = "piut_connect(tavrorun)", server = "piut_setservernode(plant)";
  const std::string find = "pipt_findpoint(UNIT.RUN)", value = "piar_value(1,1796638500,1)";
  const std::string disconnect = "piut_disconnect()";
  const struct {
    const char* name;
    std::string control;
    std::string user;
    double result;
    std::vector<std::string> calls;
    const char* debugText;  // the last plain entry with debug on
    std::string outage = "";  // an unreachable server's event, said once: after the debug read's entries
  } cases[] = {
      {"value", "point.UNIT.RUN=42.5", "op", 42.5, {connect, login, server, find, value, disconnect}, "value=42.5"},
      {"no user, no login", "point.UNIT.RUN=7", "", 7.0, {connect, server, find, value, disconnect}, "value=7"},
      {"zero", "point.UNIT.RUN=0", "op", 0.0, {connect, login, server, find, value, disconnect}, "value=0"},
      {"connect", "piut_connect=-1;point.UNIT.RUN=1", "op", -2.0, {connect}, "piut_connect failed"},
      {"login", "piut_login=12;point.UNIT.RUN=1", "op", -3.0, {connect, login}, "piut_login failed"},
      {"login not valid", "valid=0;point.UNIT.RUN=1", "op", -3.0, {connect, login}, "piut_login failed"},
      {"server", "piut_setservernode=3;point.UNIT.RUN=1", "op", -4.0, {connect, login, server},
       "piut_setservernode failed", "PI cannot be reached: tasks gated on it are held until it answers"},
      {"no such point", "point.OTHER=1", "op", -5.0, {connect, login, server, find}, "pipt_findpoint failed",
       "PI answers again: tasks are gated on it again"},
      {"archive", "piar_value=-11059;point.UNIT.RUN=1", "op", -20.0, {connect, login, server, find, value, disconnect},
       "piar_value failed"},
  };
  for (const auto& c : cases) {
    for (const bool debug : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (debug ? " debug" : ""));
      fake.Control(c.control);
      log.entries.clear();
      settings.DebugMode = debug;
      EXPECT_EQ(reader.ReadPiValue("UNIT.RUN", "plant", c.user, "secret", slot), c.result);
      EXPECT_EQ(fake.Journal(), c.calls);
      if (!debug) {
        EXPECT_TRUE(log.entries.empty());  // the API path speaks only in debug mode
        continue;
      }
      std::vector<LoggedEntry> expected{
          {"Call for Pi sample\r\ntag=UNIT.RUN\r\nhost=plant\r\nuser=" + c.user + "\r\ntime=" + DateTimeText(slot), true},
          {"using API", false},
          {c.debugText, false}};
      if (!c.outage.empty()) expected.push_back({c.outage, true});
      EXPECT_EQ(log.entries, expected);
    }
  }
}

TEST(PiTime, SecondsSince1970RoundedHalfToEvenWithin32Bits) {
  const struct {
    DateTime time;
    std::optional<std::int32_t> piTime;
  } cases[] = {
      {MakeDateTime(1970, 1, 1, 0, 0, 30), 30},
      {MakeDateTime(1969, 12, 31, 23, 59), -60},
      {MakeDateTime(1970, 1, 1, 0, 0, 0, 500), 0},
      {MakeDateTime(1970, 1, 1, 0, 0, 1, 500), 2},
      {MakeDateTime(1970, 1, 1, 0, 0, 2, 499), 2},
      {MakeDateTime(1969, 12, 31, 23, 59, 58, 500), -2},
      {MakeDateTime(1969, 12, 31, 23, 59, 58, 501), -1},
      {MakeDateTime(2038, 1, 19, 3, 14, 7), 2147483647},
      {MakeDateTime(2038, 1, 19, 3, 14, 8), std::nullopt},
      {MakeDateTime(1901, 12, 13, 20, 45, 52), -2147483647 - 1},
      {MakeDateTime(1901, 12, 13, 20, 45, 51), std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(FormatDateTime("yyyy-mm-dd hh:nn:ss", c.time));
    EXPECT_EQ(PiTime(c.time), c.piTime);
  }
}

TEST_F(PiApiRead, ATimeBeyondPiTimeIsNotAskedForAndSaysSo) {
  fake.Control("point.UNIT.RUN=5");
  const DateTime late = MakeDateTime(2038, 1, 19, 3, 14, 8);
  EXPECT_EQ(reader.ReadPiValue("UNIT.RUN", "plant", "", "", late), -20.0);
  const std::vector<std::string> calls{"piut_connect(tavrorun)", "piut_setservernode(plant)",
                                       "pipt_findpoint(UNIT.RUN)", "piut_disconnect()"};
  EXPECT_EQ(fake.Journal(), calls);
  EXPECT_EQ(log.Messages(), std::vector<std::string>{"PI time out of range for tag UNIT.RUN: " + DateTimeText(late)});
}

TEST_F(PiApiRead, TheTickKeepsTheBindingAndStopsWhileItIsIncomplete) {
  PiApiBinding lacking({{FakePiApiPath("without_summary")}, kLibraryName});
  PiApiReader lackingReader(settings, log, lacking, deadline);
  const std::string entry = "Initialization PI API with error\r\npiar_summary is not loaded\r\n";
  EXPECT_FALSE(lackingReader.KeepReady());
  EXPECT_FALSE(lackingReader.KeepReady());
  EXPECT_EQ(log.Messages(), (std::vector<std::string>{entry, entry}));

  log.entries.clear();
  EXPECT_TRUE(reader.KeepReady());
  EXPECT_TRUE(log.entries.empty());
}

TEST_F(PiApiRead, AReadWithoutACompleteBindingCallsNothing) {
  // A Start that arrives after the tick's check but before its tasks.
  PiApiBinding missing({{FakePiApiPath("nowhere")}, kLibraryName});
  PiApiReader unbound(settings, log, missing, deadline);
  EXPECT_EQ(unbound.ReadPiValue("UNIT.RUN", "plant", "op", "secret", MakeDateTime(2026, 12, 7)), -2.0);
  EXPECT_EQ(log.Messages(),
            std::vector<std::string>{"Initialization PI API with error\r\n" + kLibraryName + " cannot be loaded"});
}

// A server that stops answering within a call: each tick gives one read up at its deadline and holds
// its other gates at once, until three given-up calls wait; those that never got into the library
// do not call it once it answers again (their reads are past), and the next read works.
TEST_F(PiApiRead, AStuckCallIsGivenUpAtTheDeadlineAndNoStaleCallFollows) {
  testutil::TempDir dir;
  const std::string hold = dir.File("hold");
  testutil::WriteFileBytes(hold, "");
  fake.Control("point.UNIT.RUN=42.5;hold=" + hold);
  TUkol task;
  task.runningtag = "UNIT.RUN";
  const GateRequest request{task, 1, MakeDateTime(2026, 12, 7, 10, 15)};
  // The clock moves only once a call is held in the library, so no case depends on the machine.
  const ReadPause stuck = [&](int milliseconds) {
    const std::vector<std::string> calls = fake.Journal();
    const bool held = !calls.empty() && calls.back().rfind("piar_value", 0) == 0;
    held ? clock.Advance(milliseconds) : std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
  };
  for (int tick = 0; tick < 4; ++tick) {
    const ReadDeadline::Tick inTick(&deadline);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(deadline.Read(reader, request, 30, log, stuck).value, kNoValueFound);
  }
  const std::string timedOut = "read of UNIT.RUN timed out after 30 s";
  EXPECT_EQ(log.Messages(), (std::vector<std::string>{timedOut, timedOut, timedOut,
                                                      "PI API: 3 reads given up still wait for an answer; its reads "
                                                      "fail at once until one of them returns"}));
  std::filesystem::remove(hold);
  const ReadPause answering = [](int) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
  };
  double value = kNoValueFound;
  for (int look = 0; look < 10000 && value == kNoValueFound; ++look) {
    value = deadline.Read(reader, request, 30, log, answering).value;
  }
  EXPECT_EQ(value, 42.5);
  const std::vector<std::string> journal = fake.Journal();
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "piut_connect(tavrorun)"), 2) << "no stale call";
}

}  // namespace
}  // namespace tavro
