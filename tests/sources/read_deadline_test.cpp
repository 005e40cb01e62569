#include "sources/read_deadline.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "sources/deadline_database.h"
#include "sources/ip21_reader.h"
#include "sources/mssql_reader.h"
#include "support/simulated_clock.h"
#include "testing/fake_database.h"
#include "testing/recording_log.h"

namespace tavro {
namespace {

using testutil::FakeDatabase;

// An IP21 read through the deadline, on a first database that may stop answering at its query;
// the databases made after it answer. The clock moves only while the main thread waits on a stuck
// query, so no case depends on how fast the machine is.
TEST(ReadDeadline, AStuckReadEndsAtTheDeadlineOrAStopAndTheNextReadConnectsAfresh) {
  const struct {
    const char* name;
    bool stuck;
    bool stop;  // the process is to end while the read waits
    double value;
    std::vector<std::string> entries;
    int databases;
  } cases[] = {
      {"answers", false, false, 7.0, {}, 1},
      {"stuck", true, false, kNoValueFound, {"read of FI101 timed out after 30 s"}, 2},
      {"stopped", true, true, kNoValueFound, {}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::promise<void> answer;
    int databases = 0;
    SimulatedClock clock;
    ReadDeadline deadline(clock);
    DeadlineDatabase database(deadline, [&] {
      auto made = std::make_unique<FakeDatabase>();
      made->rows = {7.0};
      if (databases++ == 0 && c.stuck) made->queryHeldUntil = answer.get_future().share();
      return made;
    });
    ProgramSettings settings;
    testutil::RecordingLog log;
    Ip21Reader reader(settings, database, log);
    TUkol task;
    task.runningtag = "FI101";
    const GateRequest request{task, 1, DateTime{}};
    const ReadPause answering = [](int) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      return true;
    };
    const ReadPause stuck = [&](int milliseconds) {
      clock.Advance(milliseconds);
      return !c.stop;
    };

    const ReadOutcome outcome = deadline.Read(reader, request, 30, log, c.stuck ? stuck : answering);
    EXPECT_EQ(outcome.value, c.value);
    EXPECT_EQ(outcome.stopped, c.stop);
    EXPECT_EQ(log.Messages(), c.entries);
    EXPECT_EQ(databases, c.databases);
    answer.set_value();  // the given-up query returns, on its own thread, to a database no one else uses

    log.entries.clear();
    EXPECT_EQ(deadline.Read(reader, request, 30, log, answering).value, 7.0);
    EXPECT_TRUE(log.entries.empty());
  }
}

// A server that stops answering within the trial of a reading is away: the gates are held until
// the first tick it answers, as when it refuses connections.
TEST(ReadDeadline, ATrialPastTheDeadlineHoldsTheGatesUntilTheServerAnswers) {
  std::promise<void> answer;
  int databases = 0;
  SimulatedClock clock(MakeDateTime(2026, 12, 7, 10, 7, 30));
  ReadDeadline deadline(clock);
  DeadlineDatabase database(deadline, [&] {
    auto made = std::make_unique<FakeDatabase>();
    made->rows = {7.0};
    if (databases++ == 0) made->queryHeldUntil = answer.get_future().share();
    return made;
  });
  testutil::RecordingLog log;
  MssqlReader reader(database, log, clock);
  ProgramSettings settings;
  settings.MssqlTable = "pd";
  const ReadPause stuck = [&](int milliseconds) {
    clock.Advance(milliseconds);
    return true;
  };
  EXPECT_EQ(deadline.Bound(30, stuck, [&] { reader.Prepare(settings); }), ReadDeadline::End::TimedOut);
  answer.set_value();
  TUkol task;
  task.runningtag = "FI101";
  EXPECT_EQ(reader.Read(GateRequest{task, 1, DateTime{}}), kNoValueFound);
  EXPECT_TRUE(log.entries.empty());
  const ReadPause answering = [](int) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
  };
  EXPECT_EQ(deadline.Bound(30, answering, [&] { EXPECT_TRUE(reader.KeepReady()); }), ReadDeadline::End::Done);
  EXPECT_EQ(log.Messages(), std::vector<std::string>{"MSSQL answers again: tasks are gated on it again"});
  EXPECT_EQ(reader.Read(GateRequest{task, 1, DateTime{}}), 7.0);
}

}  // namespace
}  // namespace tavro
