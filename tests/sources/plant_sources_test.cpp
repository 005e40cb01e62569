#include "sources/plant_sources.h"

#include <gtest/gtest.h>

#include "support/date_time_text.h"
#include "support/simulated_clock.h"
#include "testing/recording_log.h"

namespace tavro {
namespace {

TEST(PlantSources, TheSourceModeChoosesTheReader) {
  const DateTime slot = MakeDateTime(2026, 12, 7, 10);
  const struct {
    std::int32_t sourceMode;
    std::int32_t piAccess;
    double value;
    std::vector<std::string> logged;  // with debug on
  } cases[] = {
      {kSourceKord, kPiApi, 1.0, {}},  // KORD reads nothing
      {kSourceNone, kPiApi, 1.0,
       {"Task 3: defined runningtag UNIT.RUN but I am not in KORD, PI, IP21, MSSQL nor PHD mode (0)"}},
      {7, kPiApi, 1.0, {"Task 3: defined runningtag UNIT.RUN but I am not in KORD, PI, IP21, MSSQL nor PHD mode (7)"}},
      // An "apiado" that names no way to PI reads nothing and says only that it was asked.
      {kSourcePi, 3, -1.0, {"Call for Pi sample\r\ntag=UNIT.RUN\r\nhost=\r\nuser=\r\ntime=" + DateTimeText(slot)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sourceMode);
    ProgramSettings settings;
    settings.SourceMode = c.sourceMode;
    settings.PiAccess = c.piAccess;
    settings.DebugMode = true;
    testutil::RecordingLog log;
    SimulatedClock clock;
    ReadDeadline deadline(clock);
    PlantSources sources(settings, log, clock, deadline, ".");
    TUkol task;
    task.runningtag = "UNIT.RUN";
    GateReader& reader = sources.ReaderFor(settings);
    EXPECT_TRUE(reader.KeepReady());
    EXPECT_EQ(reader.Read(GateRequest{task, 3, slot}), c.value);
    EXPECT_EQ(log.Messages(), c.logged);
  }
}

}  // namespace
}  // namespace tavro
