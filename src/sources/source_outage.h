#pragma once
// A server lost after the reading, as a source's reads find it: the outage is said once when it
// begins and once when the server answers again, not by every read of every tick. Within a tick a
// server that could not be reached is not asked again (deadline_database.h): each tick tries it
// once more.

#include <exception>
#include <functional>
#include <string>

#include "support/log_sink.h"

namespace tavro {

class SourceOutage {
 public:
  // `source` names it in the log.
  SourceOutage(std::string source, LogSink& log) : source_(std::move(source)), log_(log) {}

  // A read failed: `say` writes the reader's entry of it, unless the server was out of reach
  // already. A failure that begins an outage is followed by what it means for the tasks.
  void Failed(const std::exception& error, const std::function<void()>& say);
  // The server could not be reached, as a reader without errors of its own tells it: said once for
  // the outage, in an entry of its own.
  void Lost();
  // The server answered a read: said once after an outage.
  void Answered();

 private:
  const std::string source_;
  LogSink& log_;
  bool lost_ = false;
};

}  // namespace tavro
