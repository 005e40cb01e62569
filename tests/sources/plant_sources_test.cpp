#include "sources/plant_sources.h"

#include <gtest/gtest.h>

#include "support/simulated_clock.h"
#include "testing/recording_log.h"

namespace tavro {
namespace {

TEST(PlantSources, TheSourceModeChoosesTheReader) {
  const struct {
    std::int32_t sourceMode;
    double value;
    std::vector<std::string> logged;
  } cases[] = {
      {kSourceKord, 1.0, {}},  // KORD reads nothing
      {kSourceNone, 1.0, {"Task 3: defined runningtag UNIT.RUN but I am not in KORD, PI, IP21, MSSQL nor PHD mode (0)"}},
      {7, 1.0, {"Task 3: defined runningtag UNIT.RUN but I am not in KORD, PI, IP21, MSSQL nor PHD mode (7)"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sourceMode);
    ProgramSettings settings;
    settings.SourceMode = c.sourceMode;
    testutil::RecordingLog log;
    SimulatedClock clock;
    PlantSources sources(settings, log, clock);
    TUkol task;
    task.runningtag = "UNIT.RUN";
    GateReader& reader = sources.ReaderFor(settings);
    EXPECT_TRUE(reader.KeepReady());
    EXPECT_EQ(reader.Read(GateRequest{task, 3, MakeDateTime(2026, 12, 7, 10)}), c.value);
    EXPECT_EQ(log.Messages(), c.logged);
  }
}

}  // namespace
}  // namespace tavro
