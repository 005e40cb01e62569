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

// Commands as they arrive from outside, ending with Exit, so the loop never waits for a tick.
class ScriptedFace final : public LoopFace {
 public:
  ScriptedFace(bool visible, std::deque<Command> script) : visible_(visible), script_(std::move(script)) {}
  bool Visible() const override { return visible_; }
  void Hide() override { visible_ = false; }
  std::optional<Command> NextCommand(int) override {
    if (script_.empty()) return std::nullopt;
    const Command next = script_.front();
    script_.pop_front();
    return next;
  }
  void Refused(Command command) override { refused.push_back(command); }
  void ReportFailure(const std::string& message) override { failures.push_back(message); }
  std::vector<Command> refused;
  std::vector<std::string> failures;

 private:
  bool visible_;
  std::deque<Command> script_;
};

TEST(WindowLoop, CarriesCommandsInArrivalOrderUnderTheEnablingRuleUntilExit) {
  const struct {
    const char* name;
    bool visible;
    int readings;  // a shown window reads again at its first activation; ReRead ini only while stopped
    std::vector<Command> refused;   // only a shown window applies the enabling rule
    int starts;
  } cases[] = {{"shown", true, 2, {Command::Start, Command::ReReadIni}, 1},
               {"never shown", false, 2, {}, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testutil::TempDir dir;
    testutil::WriteFileBytes(dir.File("tavrorun.ini"),
                             "[program]\r\nmod=kord\r\n[pumps]\r\ncount=1\r\n[pump_1]\r\nlaunchperiod=15\r\n"
                             "exename=/opt/tavro/pump\r\nsource=S\r\ntarget=T\r\ntagfile=f.txt\r\n");
    LauncherState state;
    testutil::RecordingLog log;
    SimulatedClock clock{MakeDateTime(2026, 12, 7, 10, 7, 30)};
    testutil::RecordingStarter starter;
    OpenGates sources;
    ControlWindow window({state, log, clock, starter, sources}, {}, c.visible);
    window.FormCreate(dir.File("tavrorun"));
    ScriptedFace face(c.visible, {Command::Start, Command::Start, Command::ReReadIni, Command::Stop, Command::Exit,
                                  Command::Start});
    EXPECT_EQ(RunWindowLoop(window, face), 0);

    const auto messages = log.Messages();
    const auto count = [&](const char* message) { return std::count(messages.begin(), messages.end(), message); };
    EXPECT_EQ(count("Reading ini..."), c.readings);
    EXPECT_EQ(count("Starting"), c.starts);
    EXPECT_EQ(face.refused, c.refused);
    EXPECT_TRUE(face.failures.empty());
    // Stop, then Exit; the command after Exit never runs.
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages[messages.size() - 2], "Stopped");
    EXPECT_EQ(messages.back(), "Closing program...");
  }
}

}  // namespace
}  // namespace tavro
