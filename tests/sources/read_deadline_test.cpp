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

// A deadline whose first database stops answering at its query; the databases made after it
// answer 7. The clock moves only while the main thread waits on a stuck query, so no case depends
// on how fast the machine is.
struct FirstDatabaseStuck {
  std::promise<void> answer;
  int databases = 0;
  SimulatedClock clock{MakeDateTime(2026, 12, 7, 10, 7, 30)};
  ReadDeadline deadline{clock};
  DeadlineDatabase database{deadline, [this] {
                              auto made = std::make_unique<FakeDatabase>();
                              made->rows = {7.0};
                              if (databases++ == 0) made->queryHeldUntil = answer.get_future().share();
                              return made;
                            }};
  testutil::RecordingLog log;
  ReadPause waiting(bool stop) {
    return [this, stop](int milliseconds) {
      clock.Advance(milliseconds);
      return !stop;
    };
  }
  const ReadPause answering = [](int) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
  };
};

TEST(ReadDeadline, AStuckReadEndsAtTheDeadlineOrAStopAndTheNextReadConnectsAfresh) {
  for (const bool stop : {false, true}) {  // whether the process is to end while the read waits
    SCOPED_TRACE(stop ? "stopped" : "past the deadline");
    FirstDatabaseStuck s;
    ProgramSettings settings;
    Ip21Reader reader(settings, s.database, s.log);
    TUkol task;
    task.runningtag = "FI101";
    const GateRequest request{task, 1, DateTime{}};
    const ReadOutcome outcome = s.deadline.Read(reader, request, 30, s.log, s.waiting(stop));
    EXPECT_EQ(outcome.value, kNoValueFound);
    EXPECT_EQ(outcome.stopped, stop);
    const std::vector<std::string> timedOut{"read of FI101 timed out after 30 s"};
    EXPECT_EQ(s.log.Messages(), stop ? std::vector<std::string>{} : timedOut);
    s.answer.set_value();  // the given-up query returns, on its own thread, to a database no one else uses

    s.log.entries.clear();
    EXPECT_EQ(s.deadline.Read(reader, request, 30, s.log, s.answering).value, 7.0);
    EXPECT_TRUE(s.log.entries.empty());
    EXPECT_EQ(s.databases, 2);
  }
}

// A server that stops answering within the trial of a reading is away: the gates are held until
// the first tick it answers, as when it refuses connections.
TEST(ReadDeadline, ATrialPastTheDeadlineHoldsTheGatesUntilTheServerAnswers) {
  FirstDatabaseStuck s;
  MssqlReader reader(s.database, s.log, s.clock);
  ProgramSettings settings;
  EXPECT_EQ(s.deadline.Bound(30, s.waiting(false), [&] { reader.Prepare(settings); }), ReadDeadline::End::TimedOut);
  s.answer.set_value();
  TUkol task;
  EXPECT_EQ(reader.Read(GateRequest{task, 1, DateTime{}}), kNoValueFound);
  EXPECT_TRUE(s.log.entries.empty());
  EXPECT_EQ(s.deadline.Bound(30, s.answering, [&] { EXPECT_TRUE(reader.KeepReady()); }), ReadDeadline::End::Done);
  EXPECT_EQ(s.log.Messages(), std::vector<std::string>{"MSSQL answers again: tasks are gated on it again"});
  EXPECT_EQ(reader.Read(GateRequest{task, 1, DateTime{}}), 7.0);
}

}  // namespace
}  // namespace tavro
