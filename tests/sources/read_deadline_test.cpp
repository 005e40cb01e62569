#include "sources/read_deadline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
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
  testutil::RecordingLog log;
  DeadlineDatabase database{deadline, "IP21", log, [this] {
                              auto made = std::make_unique<FakeDatabase>();
                              made->rows = {7.0};
                              if (databases++ == 0) made->queryHeldUntil = answer.get_future().share();
                              return made;
                            }};
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

// A server that stops answering after the reading, under fifty gated tasks a tick. A tick gives up
// one call at most and then holds its other gates at once: it lasts one readtimeout. The next tick
// tries again until three given-up calls wait, said once; from then on it costs nothing until one of
// them returns. The clock moves only while a call is stuck, so no case depends on the machine.
TEST(ReadDeadline, AStuckSourceCostsATickOneTimeoutAndPilesUpNoCalls) {
  const std::string timedOut = "read of T1 timed out after 30 s";
  const auto crowded = [](const std::string& source) {
    return source + ": 3 reads given up still wait for an answer; its reads fail at once until one of them returns";
  };
  const struct {
    std::string source;
    std::vector<std::string> entries, back;
  } cases[] = {
      {"IP21", {timedOut, timedOut, timedOut, crowded("IP21")}, {}},
      // The lost server is waited for as one away at the reading: retried once a tick, not per read.
      {"MSSQL", {timedOut, crowded("MSSQL")}, {"MSSQL answers again: tasks are gated on it again"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    std::promise<void> release;
    const std::shared_future<void> released = release.get_future().share();
    const auto held = std::make_shared<std::atomic<int>>(0);
    const auto stuck = std::make_shared<std::atomic<bool>>(false);
    SimulatedClock clock{MakeDateTime(2026, 12, 7, 10, 7, 30)};
    ReadDeadline deadline{clock};
    testutil::RecordingLog log;
    DeadlineDatabase database{deadline, c.source, log, [&] {
                                auto made = std::make_unique<FakeDatabase>();
                                made->rows = {7.0};
                                made->whileQuerying = [held, stuck, released] {
                                  if (!*stuck) return;
                                  ++*held;
                                  released.wait();
                                  --*held;
                                };
                                return made;
                              }};
    ProgramSettings settings;
    Ip21Reader ip21(settings, database, log);
    MssqlReader mssql(database, log, clock);
    GateReader& reader = c.source == "IP21" ? static_cast<GateReader&>(ip21) : mssql;
    int stuckBefore = 0;
    const ReadPause pause = [&](int milliseconds) {
      held->load() > stuckBefore ? clock.Advance(milliseconds) : std::this_thread::sleep_for(std::chrono::milliseconds(1));
      return true;
    };
    ASSERT_EQ(deadline.Bound(30, pause, [&] { reader.Prepare(settings); }), ReadDeadline::End::Done);
    std::vector<TUkol> tasks(50);
    for (TUkol& task : tasks) task.runningtag = "T" + std::to_string(&task - tasks.data() + 1);
    const auto tick = [&] {  // the values of the tick's gates, and how long it took
      const ReadDeadline::Tick inTick(&deadline);
      stuckBefore = held->load();
      const std::int64_t start = clock.SteadyMs();
      deadline.Bound(30, pause, [&] { reader.KeepReady(); });
      std::vector<double> values;
      for (const TUkol& task : tasks) values.push_back(deadline.Read(reader, {task, 1, DateTime{}}, 30, log, pause).value);
      return std::pair{values, clock.SteadyMs() - start};
    };
    *stuck = true;
    for (const std::int64_t expected : {30000, 30000, 30000, 0, 0}) {
      const auto [values, took] = tick();
      EXPECT_EQ(took, expected);
      EXPECT_EQ(values, std::vector<double>(50, kNoValueFound));
    }
    EXPECT_EQ(log.Messages(), c.entries);
    EXPECT_EQ(held->load(), kMostGivenUpCalls);

    *stuck = false;
    log.entries.clear();
    release.set_value();
    // Until the given-up calls have returned, the ticks still cost nothing.
    std::vector<double> values;
    for (int look = 0; look < 10000 && (values = tick().first).front() != 7.0; ++look) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(values, std::vector<double>(50, 7.0));
    EXPECT_EQ(log.Messages(), c.back);
  }
}

// A server that refuses connections after the reading: each tick tries it with its first read and
// holds the other gates at once; the outage is said when it begins and when the server is back.
TEST(ReadDeadline, AServerOutOfReachIsTriedOnceATickAndSaidOnce) {
  SimulatedClock clock{MakeDateTime(2026, 12, 7, 10, 7, 30)};
  ReadDeadline deadline{clock};
  testutil::RecordingLog log;
  FakeDatabase* server = nullptr;
  DeadlineDatabase database{deadline, "IP21", log, [&] {
                              auto made = std::make_unique<FakeDatabase>();
                              server = made.get();
                              return made;
                            }};
  ProgramSettings settings;
  settings.Ip21ConnectionString = "DSN=IP21";
  Ip21Reader reader(settings, database, log);
  TUkol task;
  task.runningtag = "T1";
  const GateRequest request{task, 1, DateTime{}};
  const auto tick = [&] {  // the values of its fifty gates, and how often it asked the server
    const ReadDeadline::Tick inTick(&deadline);
    server->calls.clear();
    std::vector<double> values;
    for (int i = 0; i < 50; ++i) values.push_back(deadline.Read(reader, request, 30, log, FirstDatabaseStuck{}.answering).value);
    return std::pair{values, std::count(server->calls.begin(), server->calls.end(), "Open")};
  };
  server->failAt = "Open";
  server->failure = "[08001] could not connect to server: Connection refused";
  for (int n = 0; n < 3; ++n) EXPECT_EQ(tick(), std::pair(std::vector<double>(50, kNoValueFound), std::ptrdiff_t{1}));
  EXPECT_EQ(log.Messages(), (std::vector<std::string>{"IP21 error:\r" + server->failure,
                                                      "query:\r" + Ip21QueryText("T1", task.intervallength, DateTime{}),
                                                      "IP21 cannot be reached: tasks gated on it are held until it answers"}));
  server->failAt.clear();
  server->rows = {7.0};
  log.entries.clear();
  EXPECT_EQ(tick().first, std::vector<double>(50, 7.0));
  EXPECT_EQ(log.Messages(), std::vector<std::string>{"IP21 answers again: tasks are gated on it again"});
}

}  // namespace
}  // namespace tavro
