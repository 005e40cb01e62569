#pragma once
// The calls of one source that its reads' deadline gave up on (read_deadline.h) and that still run.
// Each keeps a thread and, for a database, its connection until the server answers or drops it, so
// a source that keeps hanging must not pile them up: while kMostGivenUpCalls of them still wait, the
// source is not called again (its reads fail at once, said once until one of them returns). A call
// given up for time also makes the source count as away for the rest of that tick: its other gates
// are held at once, as for a source that cannot be reached, and the next tick tries it again.
//
// Touched on the main thread only, but for the count, which a given-up call's own thread lowers when
// it returns.

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "support/log_sink.h"

namespace tavro {

inline constexpr int kMostGivenUpCalls = 3;

// The number of a tick of the timer, counted by the deadline; none between ticks.
using TickNumber = std::optional<std::uint64_t>;

class GivenUpCalls {
 public:
  // `source` names it in the log.
  GivenUpCalls(std::string source, LogSink& log) : source_(std::move(source)), log_(log) {}

  // Whether the source may be called now, in `tick`: not while it is away in that tick, nor while
  // as many calls given up as allowed still wait (the one entry when that begins).
  bool MayCall(TickNumber tick);
  // A call is given up: counted until its thread lowers `Count()` on its return. One given up past
  // its deadline in a tick makes the source away for the rest of that tick.
  void GiveUp(TickNumber tick, bool pastDeadline);
  // The server could not be reached: the source is away for the rest of `tick`.
  void Away(TickNumber tick);
  // No thread could be made for a call: said, and the call fails.
  void NoThread(const std::string& reason);

  // What a given-up call's thread lowers by one when it returns.
  const std::shared_ptr<std::atomic<int>>& Count() const { return waiting_; }

 private:
  const std::string source_;
  LogSink& log_;
  const std::shared_ptr<std::atomic<int>> waiting_ = std::make_shared<std::atomic<int>>(0);
  bool saidCrowded_ = false;
  TickNumber awayIn_;
};

}  // namespace tavro
