#include "window/control_window.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "sources/open_gates.h"
#include "support/date_time_text.h"
#include "support/simulated_clock.h"
#include "testing/child_process.h"
#include "testing/recording_log.h"
#include "testing/recording_starter.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

using testutil::RecordingLog;
using testutil::RecordingStarter;
using testutil::TempDir;
using testutil::WriteFileBytes;

const std::string kValidIni =
    "[program]\r\nmod=kord\r\n[pumps]\r\ncount=1\r\n[pump_1]\r\nlaunchperiod=15\r\nphase=5\r\n"
    "exename=/opt/tavro/pump\r\nsource=S\r\ntarget=T\r\ntagfile=f.txt\r\n";
const std::string kInvalidIni = "[pumps]\r\ncount=1\r\n";

class TestFace final : public WindowFace {
 public:
  bool Visible() const override { return visible; }
  void Hide() override { visible = false; }
  void Close() override { closed = true; }
  void ProcessMessages() override {}
  void ServiceStatusChanged(Panel panel, const std::string& text) override {
    serviceTexts.push_back(std::to_string(static_cast<int>(panel)) + " " + text);
  }
  bool visible = true;
  bool closed = false;
  std::vector<std::string> serviceTexts;
};

class ControlWindowTest : public ::testing::Test {
 protected:
  // A window as start-up creates it: the INI file beside the executable.
  ControlWindow& Create(const std::string& ini, std::vector<std::string> parameters, bool programMode,
                        bool withFace = true, bool keepStatusFile = false) {
    WriteFileBytes(dir.File("tavrorun.ini"), ini);
    window = std::make_unique<ControlWindow>(
        ControlWindowServices{state, log, clock, starter, sources, nullptr, nullptr, nullptr, false, keepStatusFile},
        std::move(parameters), programMode);
    if (withFace) window->AttachFace(&face);
    window->FormCreate(dir.File("tavrorun"));
    return *window;
  }
  int Count(const std::string& message) const {
    const auto messages = log.Messages();
    return static_cast<int>(std::count(messages.begin(), messages.end(), message));
  }

  TempDir dir;
  LauncherState state;
  RecordingLog log;
  SimulatedClock clock{MakeDateTime(2026, 12, 7, 10, 7, 30)};
  RecordingStarter starter;
  OpenGates sources;
  TestFace face;
  std::unique_ptr<ControlWindow> window;
};

TEST_F(ControlWindowTest, ProgramStartReadsTwiceThenStartsWithA) {
  ControlWindow& w = Create(kValidIni, {"-a"}, true);
  w.FormActivate();
  const auto messages = log.Messages();
  ASSERT_GE(messages.size(), 4u);
  EXPECT_EQ(messages.front(), "Starting program...");
  EXPECT_EQ(messages[1], "Reading ini...");
  EXPECT_EQ(Count("Reading ini..."), 2);
  EXPECT_EQ(messages.back(), "Starting");
  EXPECT_TRUE(w.Running());
  EXPECT_EQ(w.PanelText(Panel::Configuration), "Enabled");
  EXPECT_EQ(w.PanelText(Panel::RunStatus), "Running");
  EXPECT_EQ(state.Settings.IniFileName, dir.File("tavrorun.ini"));

  w.FormActivate();  // only the first activation does anything
  EXPECT_EQ(Count("Reading ini..."), 2);
}

TEST_F(ControlWindowTest, SwitchesDecideAutoStartAndHiding) {
  struct Case {
    std::vector<std::string> parameters;
    std::string ini;
    bool running;
    bool hide;
  };
  // How a switch may be written is tested with the switches (Switches.*); here, what each one does.
  const std::vector<Case> cases = {
      {{}, kValidIni, false, false},       {{"-A"}, kValidIni, true, false},  {{"-H"}, kValidIni, true, true},
      {{"-A"}, kInvalidIni, false, false}, {{"-H"}, kInvalidIni, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.parameters.empty() ? "none" : c.parameters.back());
    state = {};
    ControlWindow& w = Create(c.ini, c.parameters, true);
    w.FormActivate();
    EXPECT_EQ(w.Running(), c.running);
    EXPECT_EQ(w.HideWindow(), c.hide);
  }
}

TEST_F(ControlWindowTest, AWithErrorsShowsThemAndStaysStopped) {
  ControlWindow& w = Create(kInvalidIni, {"-A"}, true);
  w.FormActivate();
  EXPECT_FALSE(w.Running());
  EXPECT_EQ(w.PanelText(Panel::Configuration), "Disabled");
  EXPECT_EQ(w.PanelText(Panel::RunStatus), "Stopped");
  EXPECT_EQ(w.PanelText(Panel::Progress), "Errors in ini");
  EXPECT_EQ(Count("Starting"), 0);

  // Mended file: the reading enables, but the error text stays until something else is written there.
  WriteFileBytes(dir.File("tavrorun.ini"), kValidIni);
  w.Execute(Command::ReReadIni);
  EXPECT_EQ(w.PanelText(Panel::Configuration), "Enabled");
  EXPECT_EQ(w.PanelText(Panel::Progress), "Errors in ini");
}

TEST_F(ControlWindowTest, EnablingRuleFollowsTheRunStatusWhileVisible) {
  ControlWindow& w = Create(kValidIni, {}, true);
  w.FormActivate();
  w.Execute(Command::Start);
  EXPECT_TRUE(w.Running());
  EXPECT_FALSE(w.Enabled(Command::Start));
  EXPECT_FALSE(w.Enabled(Command::ReReadIni));
  EXPECT_TRUE(w.Enabled(Command::Stop));
  EXPECT_TRUE(w.Enabled(Command::Exit));

  const int readings = Count("Reading ini...");
  w.Execute(Command::ReReadIni);  // disabled while running
  EXPECT_EQ(Count("Reading ini..."), readings);

  w.Execute(Command::Stop);
  w.Execute(Command::Stop);  // disabled once stopped: logs nothing
  EXPECT_EQ(Count("Stopped"), 1);
  EXPECT_TRUE(w.Enabled(Command::Start));
  EXPECT_FALSE(w.Enabled(Command::Stop));
}

TEST_F(ControlWindowTest, WithoutAVisibleFaceEveryStopIsLogged) {
  ControlWindow& w = Create(kValidIni, {}, false, false);
  w.StartAkceExecute();
  w.StopAkceExecute();
  w.StopAkceExecute();
  EXPECT_EQ(Count("Stopped"), 2);
  // An invalid file stops it once more; service mode writes no status texts.
  WriteFileBytes(dir.File("tavrorun.ini"), kInvalidIni);
  w.IniAkceExecute();
  EXPECT_EQ(Count("Stopped"), 3);
  EXPECT_EQ(w.PanelText(Panel::RunStatus), "");
  EXPECT_EQ(w.PanelText(Panel::Progress), "");
}

// A service has no status bar, but its manager may show what the panels would say.
TEST_F(ControlWindowTest, AServiceFaceHearsTheRunStatusProgressAndErrors) {
  for (bool programMode : {true, false}) {
    SCOPED_TRACE(programMode ? "program" : "service");
    state = {};
    face.serviceTexts.clear();
    clock.Set(MakeDateTime(2026, 12, 7, 10, 7, 30));
    ControlWindow& w = Create(kValidIni, {}, programMode);
    w.StartAkceExecute();
    clock.Set(MakeDateTime(2026, 12, 7, 10, 10, 10));  // the pump's 10:05 slot is due at 10:10
    w.timrTimer();
    w.StopAkceExecute();
    WriteFileBytes(dir.File("tavrorun.ini"), kInvalidIni);
    w.IniAkceExecute();
    if (programMode) {
      EXPECT_TRUE(face.serviceTexts.empty());
      continue;
    }
    const std::string when = DateTimeText(MakeDateTime(2026, 12, 7, 10, 10, 10));
    EXPECT_EQ(face.serviceTexts,
              (std::vector<std::string>{"0 Enabled", "1 Stopped", "1 Running", "2 " + when + " pump 1",
                                        "2 " + when + " pump 1 succeded", "1 Stopped", "1 Stopped",
                                        "0 Disabled", "2 Errors in ini"}));
    EXPECT_EQ(w.PanelText(Panel::RunStatus), "");
  }
}

TEST_F(ControlWindowTest, StartRereadsOnlyAnInvalidFile) {
  ControlWindow& w = Create(kInvalidIni, {}, true);
  w.FormActivate();
  WriteFileBytes(dir.File("tavrorun.ini"), kValidIni);
  const int before = Count("Reading ini...");
  w.Execute(Command::Start);
  EXPECT_EQ(Count("Reading ini..."), before + 1);
  EXPECT_TRUE(w.Running());

  w.Execute(Command::Stop);
  w.Execute(Command::Start);
  EXPECT_EQ(Count("Reading ini..."), before + 1);
}

// A launcher that errors in its file stopped, or kept a Start from starting, starts at the first
// reading that finds the file valid; one that an operator stopped stays stopped. The hourly reading
// that finds errors logs one "Stopped". Steps: s Start, o Stop (as SIGUSR2), E and M a file with
// errors and a mended one read at the next hour, e and m the same read by ReRead ini.
TEST_F(ControlWindowTest, StartsAgainAfterErrorsUnlessAnOperatorStoppedIt) {
  const std::string waiting = "errors in ini; it starts again at the first reading without them";
  const struct {
    const char* steps;
    bool programMode, running;
    int stopped;
    std::string reason;
  } cases[] = {
      {"sEM", false, true, 1, ""},       {"sEM", true, true, 1, ""},   {"sEE", false, false, 2, waiting},
      {"sem", false, true, 1, ""},       {"es", false, false, 2, waiting}, {"esM", false, true, 2, ""},
      {"soEM", false, false, 2, "errors in ini"}, {"EM", false, false, 1, "errors in ini"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.steps) + (c.programMode ? " in program mode" : ""));
    state = {};
    log.entries.clear();
    clock.Set(MakeDateTime(2026, 12, 7, 10, 7, 30));
    ControlWindow& w = Create(kValidIni, {}, c.programMode, c.programMode);
    int hour = 10;
    for (const char step : std::string(c.steps)) {
      if (step == 's' || step == 'o') {
        w.Execute(step == 's' ? Command::Start : Command::Stop);
        continue;
      }
      WriteFileBytes(dir.File("tavrorun.ini"), step == 'E' || step == 'e' ? kInvalidIni : kValidIni);
      if (step == 'E' || step == 'M') {
        clock.Set(MakeDateTime(2026, 12, 7, ++hour, 0, 5));
        w.timrTimer();
      } else {
        w.Execute(Command::ReReadIni);
      }
    }
    EXPECT_EQ(w.Running(), c.running);
    EXPECT_EQ(Count("Stopped"), c.stopped);
    EXPECT_EQ(Count("Ini valid again: starting, as errors in ini alone kept the launcher stopped"), c.running ? 1 : 0);
    EXPECT_EQ(state.Status.stopReason, c.reason);
  }
}

TEST_F(ControlWindowTest, HWithValidFileHidesAtTheNextTickOnce) {
  ControlWindow& w = Create(kValidIni, {"-H"}, true);
  w.FormActivate();
  clock.Advance(10000);
  w.timrTimer();
  w.timrTimer();
  EXPECT_FALSE(face.visible);
  EXPECT_EQ(Count("Hiding"), 1);
}

TEST_F(ControlWindowTest, ExitLogsAndClosesTheFace) {
  ControlWindow& w = Create(kValidIni, {}, true);
  w.Execute(Command::Exit);
  EXPECT_TRUE(face.closed);
  EXPECT_EQ(log.Messages().back(), "Closing program...");
}

// A batch stopped over two or more of its runs is caught up once, and no later re-reading of the
// unchanged file launches a skipped run again.
TEST_F(ControlWindowTest, ASkippedBatchRunNeverComesBack) {
  const struct {
    const char* schedule;
    DateTime stop, restart;
    const char* window;
  } cases[] = {
      {"type=0\r\nphase=10", MakeDateTime(2026, 12, 8, 0, 5), MakeDateTime(2026, 12, 9, 0, 4),
       "/d1=07.12.2026+00.00 /d2=09.12.2026+00.00"},
      {"type=1\r\nday=1\r\nphase=360", MakeDateTime(2026, 12, 8), MakeDateTime(2026, 12, 22, 5, 0),
       "/d1=07.12.2026+00.00 /d2=22.12.2026+00.00"},
      {"type=2\r\nphase=120", MakeDateTime(2026, 12, 8), MakeDateTime(2027, 3, 3, 1, 0),
       "/d1=01.12.2026+00.00 /d2=02.03.2027+00.00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.schedule);
    state = {};
    starter.started.clear();
    clock.Set(MakeDateTime(2026, 12, 7, 23, 0));
    ControlWindow& w = Create(std::string("[batches]\r\ncount=1\r\n[batch_1]\r\nmargins=3\r\nexename=/opt/b\r\n"
                                          "taskname=Daily\r\n") + c.schedule + "\r\n",
                              {"-A"}, true);
    w.FormActivate();
    clock.Set(c.stop);
    w.Execute(Command::Stop);
    clock.Set(c.restart);
    w.Execute(Command::Start);
    // Two hours of ticks, each hour's first one reading the file again.
    for (int tick = 0; tick < 720; ++tick) {
      w.timrTimer();
      clock.Advance(10000);
    }
    ASSERT_EQ(starter.started.size(), 1u);
    EXPECT_EQ(starter.started[0].arguments, std::string(" /A=AC /tn=Daily ") + c.window + " /dS=60 /nH /nE");
  }
}

// The launcher's readings log their findings whenever these change; the rest of each reading, its
// verdict included, is that of a reading that looks for none.
TEST_F(ControlWindowTest, LogsTheFindingsOfAReadingWhenTheyChange) {
  const std::string pump = "[pumps]\r\ncount=1\r\n[pump_1]\r\nsource=S\r\ntarget=T\r\ntagfile=f.txt\r\nexename=" +
                           testutil::TestProgramPath("argrecorder") + "\r\n";
  const std::string typo = pump + "launchperiod=5m\r\n";
  const std::string period = "finding: [pump_1] launchperiod: \"5m\" is not a number; the launcher uses 60";
  const struct {
    const char* name;
    std::string ini;
    std::vector<std::string> entry;  // the lines of the warnings entry; none: no entry
  } readings[] = {
      {"first reading", typo, {period}},
      {"unchanged", typo, {}},
      {"one more", typo + "[task]\r\ncount=1\r\n", {period, "finding: [task]: unknown section; did you mean [tasks]?"}},
      {"turned off", "[program]\r\nwarnings=0\r\n" + typo, {}},
      {"on again", typo, {period}},
      {"mended", pump, {}},
      {"invalid file", "[pumps]\r\ncount=1\r\n[pump_1]\r\nlaunchperiod=5m\r\n", {period}},
  };
  struct Launcher {
    LauncherState state;
    RecordingLog log;
    std::unique_ptr<ControlWindow> window;
  } quiet, watching;
  for (const auto& reading : readings) {
    SCOPED_TRACE(reading.name);
    WriteFileBytes(dir.File("tavrorun.ini"), reading.ini);
    for (Launcher* launcher : {&quiet, &watching}) {
      launcher->log.entries.clear();
      if (launcher->window) {
        launcher->window->IniAkceExecute();
        continue;
      }
      launcher->window = std::make_unique<ControlWindow>(
          ControlWindowServices{launcher->state, launcher->log, clock, starter, sources, nullptr, nullptr, nullptr,
                                launcher == &watching},
          std::vector<std::string>{}, true);
      launcher->window->FormCreate(dir.File("tavrorun"));
    }
    std::vector<std::string> expected = quiet.log.Messages();
    if (!reading.entry.empty()) {
      const auto verdict = std::find_if(expected.begin(), expected.end(), [](const std::string& message) {
        return message == "Tasks in ini O.K." || message.rfind("In ini found these errors:", 0) == 0;
      });
      ASSERT_NE(verdict, expected.end());
      std::string entry = "In ini found these warnings:\r\n";
      for (const std::string& line : reading.entry) entry += "\r\n" + line;
      expected.insert(verdict + 1, entry);
    }
    EXPECT_EQ(watching.log.Messages(), expected);
    EXPECT_EQ(watching.state.Settings.IniValid, quiet.state.Settings.IniValid);
  }
}

// The status file follows what happens (the start, a launch, a stop, the exit) and is left alone by
// a tick where nothing happens: its "written" time would otherwise move on.
TEST_F(ControlWindowTest, StatusFileIsRewrittenWhenSomethingChangedOnly) {
  ControlWindow& w = Create(kValidIni, {"-a"}, true, true, true);
  w.FormActivate();
  const std::string file = dir.File("tavrorun.status");
  const auto status = [&file] { return testutil::ReadFileBytes(file); };
  EXPECT_NE(status().find("\"state\": \"running\""), std::string::npos) << status();

  clock.Set(MakeDateTime(2026, 12, 7, 10, 20, 30));
  w.timrTimer();  // the pump is due
  const std::string launched = status();
  EXPECT_NE(launched.find("\"result\": \"launched\""), std::string::npos) << launched;
  clock.Advance(kTimerIntervalMs);
  w.timrTimer();
  EXPECT_EQ(status(), launched);

  EXPECT_TRUE(w.Execute(Command::Stop));
  EXPECT_NE(status().find("\"stopReason\": \"Stop command\""), std::string::npos) << status();
  w.Execute(Command::Exit);
  EXPECT_NE(status().find("\"state\": \"ended\",\n  \"stopReason\": \"Exit command\""), std::string::npos) << status();
}

}  // namespace
}  // namespace tavro
