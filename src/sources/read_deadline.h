#pragma once
// The deadline of a gate read. A driver's call can block for as long as a server that stopped
// answering keeps its connection open, and the driver's own timeouts do not bound that (psqlODBC
// has the server enforce its query timeout). So the blocking calls of a read run on a thread of
// their own while the main thread keeps taking the commands that arrive; when the deadline passes,
// or the process is to end or the service to stop, the main thread gives the call up and goes on.
// A given-up call keeps what it works on to itself and lets it go whenever it returns.
//
// This, DeadlineDatabase and AutomationGate are the only places where the launcher runs a second
// thread; the second thread never touches the launcher's state, its log or its tables.

#include <cstdint>
#include <functional>
#include <optional>

#include "sources/gate_reader.h"
#include "support/clock.h"
#include "support/log_sink.h"

namespace tavro {

// How the main thread spends a read that runs elsewhere: waits up to `milliseconds` while outside
// commands act; false when the process is ending or the service stopping.
using ReadPause = std::function<bool(int milliseconds)>;

// Thrown out of a given-up call, through the reader, to ReadDeadline::Read. It is no
// std::exception, so a reader's failure path lets it pass instead of logging an error of its own.
struct ReadGivenUp {};

struct ReadOutcome {
  double value;
  bool stopped;  // given up for the end of the process or of the service: the tick ends
  std::optional<ReadFailure> failure = std::nullopt;  // what the value stands for (GateReader::TakeFailure)
};

class ReadDeadline {
 public:
  explicit ReadDeadline(Clock& clock) : clock_(clock) {}

  // The gate's read, bounded by `seconds`. Past the deadline the value is -20 with the one entry
  // "read of TAG timed out after N s"; a stop gives -20 without an entry.
  ReadOutcome Read(GateReader& gate, const GateRequest& request, int seconds, LogSink& log, const ReadPause& pause);

  // Any other work on a source (the trial of a reading, keeping it ready), bounded the same way;
  // its own exceptions reach the caller.
  enum class End { Done, TimedOut, Stopped };
  End Bound(int seconds, const ReadPause& pause, const std::function<void()>& work);

  // A blocking call: during a Read, `work` runs on a thread of its own until it returns (its
  // exception thrown on here) or is given up (ReadGivenUp), so it must own all it touches.
  // Outside a Read (the trial of a reading, a probe) it runs here.
  void Run(std::function<void()> work);

  // Hands a call to a thread of the caller's that runs it once, soon (for objects bound to one thread).
  using Start = std::function<void(std::function<void()> call)>;
  // As Run, but `work` runs where `start` puts it, also outside a Read, where it is waited for
  // without bound. Given up, it is left where it runs.
  void RunOn(const Start& start, std::function<void()> work);

 private:
  struct Call;
  // Waits for the call within the read's deadline while commands act; false when it was given up.
  bool Waited(const Call& call);

  struct Current {
    std::int64_t endMs;
    const ReadPause* pause;
    bool stopped = false;
  };

  Clock& clock_;
  std::optional<Current> current_;
};

}  // namespace tavro
