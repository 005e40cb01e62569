#include "sources/read_deadline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <system_error>
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
                              if (databases++ == 0) {
                                made->whileQuerying = [held = answer.get_future().share()] { held.wait(); };
                              }
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

// A server that stops answering, or refuses, after the reading, under fifty gated tasks a tick. A
// tick asks it once and then holds its other gates at once: a stuck server costs the tick one
// readtimeout, and is tried again at the next tick until three given-up calls wait, said once; from
// then on it costs nothing until one of them returns. A refusal is said once for the outage, and so
// is the server's return. The clock moves only while a call is stuck, so nothing depends on the
// machine.
TEST(ReadDeadline, ALostServerIsAskedOnceATickAndPilesUpNoCalls) {
  const std::string timedOut = "read of T1 timed out after 30 s", refusal = "[08001] Connection refused";
  const auto crowded = [](const std::string& source) {
    return source + ": 3 reads given up still wait for an answer; its reads fail at once until one of them returns";
  };
  const std::string query = "query:\r" + Ip21QueryText("T1", TUkol{}.intervallength, DateTime{});
  const struct {
    std::string source;
    bool refuses;
    std::int64_t tickMs;
    std::vector<std::string> entries, back;
  } cases[] = {
      {"IP21", false, 30000, {timedOut, timedOut, timedOut, crowded("IP21")}, {}},
      // The lost server is waited for as one away at the reading: retried once a tick, not per read.
      {"MSSQL", false, 30000, {timedOut, crowded("MSSQL")}, {"MSSQL answers again: tasks are gated on it again"}},
      {"IP21", true, 0,
       {"IP21 error:\r" + refusal, query, "IP21 cannot be reached: tasks gated on it are held until it answers"},
       {"IP21 answers again: tasks are gated on it again"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source + (c.refuses ? " refusing" : " stuck"));
    std::promise<void> release;
    const std::shared_future<void> released = release.get_future().share();
    const auto held = std::make_shared<std::atomic<int>>(0), asked = std::make_shared<std::atomic<int>>(0);
    const auto lost = std::make_shared<std::atomic<bool>>(false);
    SimulatedClock clock{MakeDateTime(2026, 12, 7, 10, 7, 30)};
    ReadDeadline deadline{clock};
    testutil::RecordingLog log;
    DeadlineDatabase database{deadline, c.source, log, [&] {
                                auto made = std::make_unique<FakeDatabase>();
                                made->rows = {7.0};
                                made->whileQuerying = [held, asked, lost, released, refuses = c.refuses, refusal] {
                                  if (!*lost) return;
                                  ++*asked;
                                  if (refuses) throw DatabaseError(refusal);
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
    TUkol task;
    task.runningtag = "T1";
    const auto tick = [&] {  // the values of the tick's fifty gates, and how long it took
      const ReadDeadline::Tick inTick(&deadline);
      stuckBefore = held->load();
      const std::int64_t start = clock.SteadyMs();
      deadline.Bound(30, pause, [&] { reader.KeepReady(); });
      std::vector<double> values;
      for (int i = 0; i < 50; ++i) values.push_back(deadline.Read(reader, {task, 1, DateTime{}}, 30, log, pause).value);
      return std::pair{values, clock.SteadyMs() - start};
    };
    *lost = true;
    for (const std::int64_t expected : {c.tickMs, c.tickMs, c.tickMs, std::int64_t{0}, std::int64_t{0}}) {
      EXPECT_EQ(tick(), std::pair(std::vector<double>(50, kNoValueFound), expected));
    }
    EXPECT_EQ(log.Messages(), c.entries);
    EXPECT_EQ(held->load(), c.refuses ? 0 : kMostGivenUpCalls);
    EXPECT_EQ(asked->load(), c.refuses ? 5 : kMostGivenUpCalls);

    *lost = false;
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

// A thread that cannot be made fails that read, with an entry, and the next read is made as usual.
TEST(ReadDeadline, AThreadThatCannotBeMadeFailsTheReadOnly) {
  struct OnThreads final : GateReader {
    ReadDeadline* deadline;
    GivenUpCalls* calls;
    bool threads = false;
    double Read(const GateRequest&) override {
      double value = 0;
      deadline->RunOn(*calls, [this](std::function<void()> call) {
        if (!threads) throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        call();
      }, [&value] { value = 5; });
      return value;
    }
  };
  FirstDatabaseStuck s;
  GivenUpCalls calls("PHD", s.log);
  OnThreads reader;
  reader.deadline = &s.deadline;
  reader.calls = &calls;
  TUkol task;
  EXPECT_EQ(s.deadline.Read(reader, {task, 1, DateTime{}}, 30, s.log, s.answering).value, kNoValueFound);
  ASSERT_EQ(s.log.Messages().size(), 1u);
  EXPECT_EQ(s.log.Messages()[0].rfind("PHD: no thread can be made for a read (", 0), 0u) << s.log.Messages()[0];
  reader.threads = true;
  EXPECT_EQ(s.deadline.Read(reader, {task, 1, DateTime{}}, 30, s.log, s.answering).value, 5.0);
}

}  // namespace
}  // namespace tavro
