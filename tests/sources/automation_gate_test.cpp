// A PHD server that stops answering at Fetch, reached through workers of their own: the stand-ins
// directly on Linux, the registered server through COM on Windows.

#include "sources/automation_gate.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "sources/phd_reader.h"
#include "support/simulated_clock.h"
#include "testing/historian_double.h"
#include "testing/poll.h"
#include "testing/recording_log.h"

namespace tavro {
namespace {

const std::string kSamples = "samples=1.5,2.5,3.5;figures=0,0,0;";

TEST(AutomationGate, AStuckReadIsLeftToItsWorkerAndTheirNumberIsBounded) {
  const auto historian = testutil::MakeHistorianDouble();
  SimulatedClock clock{MakeDateTime(2026, 12, 7, 10, 7, 30)};
  ReadDeadline deadline{clock};
  ProgramSettings settings;
  testutil::RecordingLog log;
  AutomationGate gate("PHD", settings, log, {std::shared_ptr<void>(), &historian->Factory()}, deadline,
                      NewAutomationReader<PhdReader>);
  TUkol task;
  task.runningtag = "UNIT.RUN";
  // The clock moves only once a call is held at Fetch, so no case depends on the machine's speed.
  const auto read = [&](const std::string& control, bool stuck) {
    if (!control.empty()) historian->Control(control);
    const ReadPause pause = [&, stuck](int milliseconds) {
      const std::vector<std::string> calls = historian->Journal();
      const bool held = stuck && !calls.empty() && calls.back() == "PhdData.Fetch()";
      held ? clock.Advance(milliseconds) : std::this_thread::sleep_for(std::chrono::milliseconds(1));
      return true;
    };
    return deadline.Read(gate, GateRequest{task, 1, MakeDateTime(2026, 12, 7, 10, 15)}, 30, log, pause).value;
  };

  EXPECT_EQ(read(kSamples + "hold=Fetch", true), kNoValueFound);
  EXPECT_EQ(read(kSamples, false), 3.5) << "a fresh worker";
  EXPECT_EQ(read(kSamples + "hold=Fetch", true), kNoValueFound);
  EXPECT_EQ(read("", true), kNoValueFound);
  // As many workers wait as are allowed: reads fail at once, said once.
  for (int tick = 0; tick < 3; ++tick) EXPECT_EQ(read("", true), kNoValueFound);
  const std::string timedOut = "read of UNIT.RUN timed out after 30 s";
  EXPECT_EQ(log.Messages(), (std::vector<std::string>{timedOut, timedOut, timedOut,
                                                      "PHD: 3 reads given up still wait for an answer; its reads "
                                                      "fail at once until one of them returns"}));
  historian->Control(kSamples);
  historian->LetGo();
  EXPECT_TRUE(testutil::Eventually([&] { return read("", false) == 3.5; }));
  EXPECT_EQ(log.entries.size(), 4u);
  EXPECT_TRUE(testutil::Eventually([&] { return historian->LiveObjects() == 0; })) << "the given-up workers let go";
}

}  // namespace
}  // namespace tavro
