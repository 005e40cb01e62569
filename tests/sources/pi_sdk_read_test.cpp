// The PI reader's PI SDK path and the making of the SDK's root object, against the stand-ins of the
// SDK's objects: directly on Linux, through COM and the test suite's registered server on Windows.

#include <gtest/gtest.h>

#include <algorithm>

#include "sources/automation_gate.h"
#include "sources/pi_sdk_reader.h"
#include "support/date_time_text.h"
#include "support/simulated_clock.h"
#include "testing/historian_double.h"
#include "testing/recording_log.h"
#include "testing/recording_starter.h"
#include "testing/temp_dir.h"
#include "window/control_window.h"

namespace tavro {
namespace {

using testutil::LoggedEntry;

const DateTime kSlot = MakeDateTime(2026, 12, 7, 10, 15);
const std::string kServer = "servers=plant;points=UNIT.RUN;value=42.5;";

class PiSdkRead : public ::testing::Test {
 protected:
  int Count(const std::string& call) {
    const std::vector<std::string> journal = historian->Journal();
    return static_cast<int>(std::count(journal.begin(), journal.end(), call));
  }

  std::unique_ptr<testutil::HistorianDouble> historian = testutil::MakeHistorianDouble();
  ProgramSettings settings;
  testutil::RecordingLog log;
  PiSdkReader reader{settings, log, historian->Factory()};
};

TEST_F(PiSdkRead, TheRootObjectIsMadeOnceUntilTheNextStart) {
  settings.DebugMode = true;
  EXPECT_TRUE(reader.KeepReady());
  EXPECT_TRUE(reader.KeepReady());
  EXPECT_EQ(Count("new PISDK"), 1);
  EXPECT_EQ(log.entries, (std::vector<LoggedEntry>{{"Initializing PI SDK interface", true}}));
}

TEST_F(PiSdkRead, AFailedInitialisationIsLoggedAndTriedAgainAtEveryTick) {
  historian->Control("create=fail");
  EXPECT_FALSE(reader.KeepReady());
  EXPECT_FALSE(reader.KeepReady());
  EXPECT_EQ(Count("new PISDK"), 2);
  ASSERT_EQ(log.entries.size(), 2u);
  EXPECT_EQ(log.entries[0].message.rfind("PI SDK initialization error\r\n", 0), 0u) << log.entries[0].message;
  EXPECT_GT(log.entries[0].message.size(), std::string("PI SDK initialization error\r\n").size());

  // Without a root object a read cannot reach a server.
  EXPECT_EQ(reader.ReadPiValue("UNIT.RUN", "plant", "", "", kSlot), -1.0);
  EXPECT_EQ(log.entries.back().message, "Servers collection error: PI SDK is not initialized");
}

TEST_F(PiSdkRead, EveryStepsFailureHasItsValueAndEntryAndTheServerIsClosed) {
  const std::string value = "PIValue.Value()";
  const struct {
    std::string control;
    std::string user, password;
    double result;
    std::string open;  // the connection text; "" for no Open at all
    bool closed;
    std::vector<LoggedEntry> logged;
  } cases[] = {
      {kServer, "op", "secret", 42.5, "Server.Open(\"UID=op;PWD=secret\")", true, {}},
      {kServer, "op", "", 42.5, "Server.Open(\"UID=op\")", true, {}},
      {kServer, "", "secret", 42.5, "Server.Open(\"\")", true, {}},  // no password without a user
      {kServer + "value=0", "", "", 0, "Server.Open(\"\")", true, {}},
      {"servers=other;points=UNIT.RUN", "op", "secret", -1, "", false,
       {{"Servers collection error: Server not found", true}}},
      {kServer + "fail=Servers", "op", "secret", -1, "", false, {{"Servers collection error: Servers refused", true}}},
      {kServer + "fail=Open", "op", "secret", -3, "Server.Open(\"UID=op;PWD=secret\")", false,
       {{"Server open error: Open refused", true}}},
      {"servers=plant;points=OTHER", "op", "secret", -5, "Server.Open(\"UID=op;PWD=secret\")", true,
       {{"Point error: Point not found", true}}},
      {kServer + "fail=Data", "op", "secret", -3, "Server.Open(\"UID=op;PWD=secret\")", true,
       {{"Server open error: Data refused", true}}},
      {kServer + "fail=ArcValue", "op", "secret", -3, "Server.Open(\"UID=op;PWD=secret\")", true,
       {{"Server open error: ArcValue refused", true}}},
      {kServer + "value=abc", "op", "secret", -20, "Server.Open(\"UID=op;PWD=secret\")", true,
       {{"UNIT.RUN has invalid value", true}}},
      {kServer + "fail=Value", "op", "secret", -20, "Server.Open(\"UID=op;PWD=secret\")", true,
       {{"UNIT.RUN has invalid value", true}}},
      {kServer + "fail=Close", "op", "secret", -3, "Server.Open(\"UID=op;PWD=secret\")", true,
       {{"Server open error: Close refused", true}}},
      // A server's message that echoes what it was sent.
      {kServer + "fail=Open;error=login UID=op;PWD=secret rejected", "op", "secret", -3,
       "Server.Open(\"UID=op;PWD=secret\")", false, {{"Server open error: login UID=op;PWD=***** rejected", true}}},
  };
  ASSERT_TRUE(reader.InitPiSdk());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.control + " user " + c.user + " password " + c.password);
    historian->Control(c.control);
    log.entries.clear();
    EXPECT_EQ(reader.ReadPiValue("UNIT.RUN", "plant", c.user, c.password, kSlot), c.result);
    EXPECT_EQ(log.entries, c.logged);
    EXPECT_EQ(Count(c.open), c.open.empty() ? 0 : 1);
    EXPECT_EQ(Count("Server.Close()"), c.closed ? 1 : 0);
    EXPECT_EQ(historian->LiveObjects(), 1);  // only the root object stays
  }
}

TEST_F(PiSdkRead, AReadAsksForTheArchiveValueAtTheSlotTime) {
  settings.DebugMode = true;
  ASSERT_TRUE(reader.InitPiSdk());
  historian->Control(kServer);
  log.entries.clear();
  EXPECT_EQ(reader.ReadPiValue("UNIT.RUN", "plant", "op", "secret", kSlot), 42.5);
  const std::vector<std::string> calls{
      "PISDK.Servers()",        "Servers.Item(\"plant\")",
      "Server.Open(\"UID=op;PWD=secret\")", "Server.PIPoints()",
      "PIPoints.Item(\"UNIT.RUN\")", "Point.Data()",
      "PIData.ArcValue(#2026-12-07 10:15:00#,1)", "PIValue.Value()",
      "Server.Close()",
  };
  EXPECT_EQ(historian->Journal(), calls);
  const std::vector<LoggedEntry> logged{
      {"Call for Pi sample\r\ntag=UNIT.RUN\r\nhost=plant\r\nuser=op\r\ntime=" + DateTimeText(kSlot), true},
      {"using SDK", false},
      {"value=42.5", false}};
  EXPECT_EQ(log.entries, logged);
}

TEST_F(PiSdkRead, AMemberTheServerLacksIsAPointError) {
  ASSERT_TRUE(reader.InitPiSdk());
  historian->Control(kServer + "missing=PIPoints");
  EXPECT_EQ(reader.ReadPiValue("UNIT.RUN", "plant", "", "", kSlot), -5.0);
  ASSERT_EQ(log.entries.size(), 1u);
  EXPECT_EQ(log.entries[0].message.rfind("Point error: ", 0), 0u);
  EXPECT_NE(log.entries[0].message.find("PIPoints"), std::string::npos) << log.entries[0].message;
  EXPECT_EQ(Count("Server.Close()"), 1);
}

// The window's Start lets the reader's worker go, so the next tick makes a new root on a new one.
class SdkSources final : public GateSources {
 public:
  explicit SdkSources(AutomationGate& gate) : gate_(gate) {}
  GateReader& ReaderFor(const ProgramSettings&) override { return gate_; }
  void Starting() override { gate_.Restart(); }

 private:
  AutomationGate& gate_;
};

TEST_F(PiSdkRead, EveryStartOfTheLauncherMakesTheRootObjectAfresh) {
  testutil::TempDir dir;
  testutil::WriteFileBytes(dir.File("tavrorun.ini"),
                           "[program]\r\nmod=pi\r\n[pi]\r\nhost=plant\r\napiado=2\r\n[pumps]\r\ncount=1\r\n"
                           "[pump_1]\r\nexename=/opt/pump\r\nsource=S\r\ntarget=T\r\ntagfile=f.txt\r\n");
  LauncherState state;
  SimulatedClock clock{MakeDateTime(2026, 12, 7, 10, 7, 30)};
  testutil::RecordingStarter starter;
  ReadDeadline deadline{clock};
  AutomationGate gate("PI SDK", state.Settings, log, {std::shared_ptr<void>(), &historian->Factory()}, deadline,
                      NewAutomationReader<PiSdkReader>);
  SdkSources sources(gate);
  ControlWindow window({state, log, clock, starter, sources}, {}, false);
  window.FormCreate(dir.File("tavrorun"));

  window.Execute(Command::Start);
  ASSERT_TRUE(window.Running());
  window.timrTimer();
  window.timrTimer();
  EXPECT_EQ(Count("new PISDK"), 1);
  window.Execute(Command::Stop);
  window.Execute(Command::Start);
  window.timrTimer();
  EXPECT_EQ(Count("new PISDK"), 2);
  EXPECT_EQ(historian->LiveObjects(), 1);  // the first root was let go
  EXPECT_TRUE(window.Running());
}

}  // namespace
}  // namespace tavro
