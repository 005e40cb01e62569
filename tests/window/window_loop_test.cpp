#include "window/window_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

#include "sources/open_gates.h"
#include "support/simulated_clock.h"
#include "testing/recording_log.h"
#include "testing/recording_starter.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

struct ScriptedCommand {
  std::int64_t atMs;  // on the clock's steady scale, which starts at 0
  Command command;
};

// Commands as they arrive from outside, each at its time; waiting moves the simulated clock on.
// Every script ends with Exit, so the loop ends.
class ScriptedFace final : public LoopFace {
 public:
  ScriptedFace(bool visible, SimulatedClock& clock, std::deque<ScriptedCommand> script)
      : visible_(visible), clock_(clock), script_(std::move(script)) {}
  bool Visible() const override { return visible_; }
  void Hide() override { visible_ = false; }
  std::optional<Command> NextCommand(int milliseconds) override {
    const std::int64_t now = clock_.SteadyMs();
    if (!script_.empty() && script_.front().atMs <= now + milliseconds) {
      clock_.Advance(static_cast<int>(std::max<std::int64_t>(0, script_.front().atMs - now)));
      const Command next = script_.front().command;
      script_.pop_front();
      return next;
    }
    clock_.Advance(milliseconds);
    return std::nullopt;
  }
  void Refused(Command command) override { refused.push_back(command); }
  void ReportFailure(const std::string& message) override { failures.push_back(message); }
  std::vector<Command> refused;
  std::vector<std::string> failures;

 private:
  bool visible_;
  SimulatedClock& clock_;
  std::deque<ScriptedCommand> script_;
};

const DateTime kStart = MakeDateTime(2026, 12, 7, 10, 7, 30);

class WindowLoopTest : public ::testing::Test {
 protected:
  // Two pumps whose first slot is due at the first tick.
  void Run(bool visible, std::vector<std::string> parameters, std::deque<ScriptedCommand> script) {
    testutil::WriteFileBytes(dir.File("tavrorun.ini"),
                             "[program]\r\nmod=kord\r\n[pumps]\r\ncount=2\r\n"
                             "[pump_1]\r\nlaunchperiod=15\r\nphase=5\r\nexename=/opt/tavro/pump\r\n"
                             "source=S\r\ntarget=T\r\ntagfile=f.txt\r\n"
                             "[pump_2]\r\nlaunchperiod=15\r\nphase=5\r\nexename=/opt/tavro/pump\r\n"
                             "source=S\r\ntarget=T\r\ntagfile=f.txt\r\n");
    ControlWindow window({state, log, clock, starter, sources}, std::move(parameters), visible);
    window.FormCreate(dir.File("tavrorun"));
    face = std::make_unique<ScriptedFace>(visible, clock, std::move(script));
    EXPECT_EQ(RunWindowLoop(window, *face), 0);
  }
  // The run's events in the log, a launch written "launched".
  std::vector<std::string> Events() const {
    std::vector<std::string> out;
    for (const std::string& message : log.Messages()) {
      if (message.ends_with(" launched successfully")) out.push_back("launched");
      if (message == "Starting" || message == "Stopped" || message == "Closing program...") out.push_back(message);
    }
    return out;
  }

  testutil::TempDir dir;
  LauncherState state;
  testutil::RecordingLog log;
  SimulatedClock clock{kStart};
  testutil::RecordingStarter starter;
  OpenGates sources;
  std::unique_ptr<ScriptedFace> face;
};

TEST_F(WindowLoopTest, CarriesCommandsInArrivalOrderUnderTheEnablingRuleUntilExit) {
  const struct {
    const char* name;
    bool visible;
    int readings;  // a shown window reads again at its first activation; ReRead ini only while stopped
    std::vector<Command> refused;  // only a shown window applies the enabling rule
    int starts;
  } cases[] = {{"shown", true, 2, {Command::Start, Command::ReReadIni}, 1},
               {"never shown", false, 2, {}, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    log.entries.clear();
    Run(c.visible, {},
        {{0, Command::Start}, {0, Command::Start}, {0, Command::ReReadIni}, {0, Command::Stop}, {0, Command::Exit},
         {0, Command::Start}});

    const auto messages = log.Messages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "Reading ini..."), c.readings);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "Starting"), c.starts);
    EXPECT_EQ(face->refused, c.refused);
    EXPECT_TRUE(face->failures.empty());
    // Stop, then Exit; the command after Exit never runs.
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages[messages.size() - 2], "Stopped");
    EXPECT_EQ(messages.back(), "Closing program...");
  }
}

// The first tick comes one interval after the start, each further one an interval after the last
// one ended (its 100 ms and the 2 s pause after each launch included). During a pause Exit acts at
// once and ends the tick after the launch in progress; any other command waits for the tick's end.
TEST_F(WindowLoopTest, TicksAreSpacedFromTheLastOnesEndAndAPauseHoldsCommandsBack) {
  const struct {
    const char* name;
    std::deque<ScriptedCommand> script;
    std::vector<int> tickSeconds;  // when the log followed the date, in seconds: creation, then ticks
    std::vector<std::string> events;
  } cases[] = {
      {"undisturbed",
       {{40000, Command::Exit}},
       {0, 10, 24, 34},  // 10 + 0.1 + 2 × 2 = 14.1, + 10 = 24.1; 24.2 + 10 = 34.2
       {"Starting", "launched", "launched", "Closing program..."}},
      {"stop during the first pause",
       {{11000, Command::Stop}, {40000, Command::Exit}},
       {0, 10, 24, 34},
       {"Starting", "launched", "launched", "Stopped", "Closing program..."}},
      {"exit during the first pause",
       {{11000, Command::Exit}},
       {0, 10},
       {"Starting", "launched", "Closing program..."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    log = {};
    state = {};
    clock = SimulatedClock{kStart};
    Run(true, {"-A"}, c.script);
    std::vector<int> tickSeconds;
    for (const DateTime& tick : log.followed) tickSeconds.push_back(static_cast<int>((tick.ms - kStart.ms) / 1000));
    EXPECT_EQ(tickSeconds, c.tickSeconds);
    EXPECT_EQ(Events(), c.events);
  }
}

}  // namespace
}  // namespace tavro
