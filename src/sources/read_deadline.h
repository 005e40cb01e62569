#pragma once
// The deadline of a gate read. A driver's call can block for as long as a server that stopped
// answering keeps its connection open, and the driver's own timeouts do not bound that (psqlODBC
// has the server enforce its query timeout). So the blocking calls of a read run on a thread of
// their own while the main thread keeps taking the commands that arrive; when the deadline passes,
// or the process is to end or the service to stop, the main thread gives the call up and goes on.
// A given-up call keeps what it works on to itself and lets it go whenever it returns; each source
// bounds how many of them may wait at once, and is away for the rest of a tick in which one was
// given up past its deadline (given_up_calls.h).
//
// This, DeadlineDatabase and AutomationGate are the only places where the launcher runs a second
// thread; the second thread never touches the launcher's state, its log or its tables.

#include <cstdint>
#include <functional>
#include <optional>

#include "sources/gate_reader.h"
#include "sources/given_up_calls.h"
#include "support/clock.h"
#include "support/log_sink.h"

namespace tavro {

// How the main thread spends a read that runs elsewhere: waits up to `milliseconds` while outside
// commands act; false when the process is ending or the service stopping.
using ReadPause = std::function<bool(int milliseconds)>;

// Thrown out of a given-up or refused call, through the reader, to ReadDeadline::Read. It is no
// std::exception, so a reader's failure path lets it pass instead of logging an error of its own.
struct ReadGivenUp {
  bool refused = false;  // the source was not called: the call never started
};

struct ReadOutcome {
  double value;
  bool stopped;  // given up for the end of the process or of the service: the tick ends
  std::optional<ReadFailure> failure = std::nullopt;  // what the value stands for (GateReader::TakeFailure)
};

class ReadDeadline {
 public:
  explicit ReadDeadline(Clock& clock) : clock_(clock) {}

  // While one lives, the calls belong to one tick of the timer: a source given up in it past the
  // deadline is not called again in it.
  class Tick {
   public:
    explicit Tick(ReadDeadline* deadline);  // none: nothing to count
    ~Tick();
    Tick(const Tick&) = delete;
    Tick& operator=(const Tick&) = delete;

   private:
    ReadDeadline* deadline_;
  };

  // The gate's read, bounded by `seconds`. Past the deadline the value is -20 with the one entry
  // "read of TAG timed out after N s"; a stop gives -20 without an entry, as does a source that was
  // not called (away in this tick, or too many of its calls given up still waiting). A failure that
  // escapes the reader gives -20 with its entry: a read never cuts the tick short.
  ReadOutcome Read(GateReader& gate, const GateRequest& request, int seconds, LogSink& log, const ReadPause& pause);

  // Any other work on a source (the trial of a reading, keeping it ready), bounded the same way;
  // its own exceptions reach the caller. Refused: the source was not called (see Read).
  enum class End { Done, TimedOut, Stopped, Refused };
  End Bound(int seconds, const ReadPause& pause, const std::function<void()>& work);

  // A blocking call of the source whose given-up calls `calls` counts: during a Read, `work` runs on
  // a thread of its own until it returns (its exception thrown on here) or is given up or refused
  // (ReadGivenUp), so it must own all it touches. Outside a Read (the trial of a reading, a probe)
  // it runs here.
  void Run(GivenUpCalls& calls, std::function<void()> work);

  // Hands a call to a thread of the caller's that runs it once, soon (for objects bound to one
  // thread); a thread it cannot make is std::system_error.
  using Start = std::function<void(std::function<void()> call)>;
  // As Run, but `work` runs where `start` puts it, also outside a Read, where it is waited for
  // without bound. Given up, it is left where it runs.
  void RunOn(GivenUpCalls& calls, const Start& start, std::function<void()> work);

  // The tick the calls belong to; none between ticks.
  TickNumber CurrentTick() const { return tick_; }

 private:
  struct Call;
  // Waits for the call within the read's deadline while commands act; false when it was given up.
  bool Waited(const Call& call);
  // Whether the source may be called; if not, the call is refused (ReadGivenUp).
  void MayCall(GivenUpCalls& calls);
  // Counts the call that Waited gave up, unless it ended meanwhile; false when it did end.
  bool GiveUp(GivenUpCalls& calls, Call& call);

  enum class Outcome { Answered, TimedOut, Stopped, Refused };
  struct Current {
    std::int64_t endMs;
    const ReadPause* pause;
    Outcome outcome = Outcome::Answered;
  };

  Clock& clock_;
  std::optional<Current> current_;
  TickNumber tick_;
  std::uint64_t ticks_ = 0;
};

}  // namespace tavro
