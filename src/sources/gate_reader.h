#pragma once
// The process-data source that gates tasks. There is one reader per source; the control window
// picks the one the configuration selects each time it has been read, so the timer cycle only asks
// "what is the value of this task's tag at its slot time".

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "jobs/job_records.h"
#include "jobs/launcher_state.h"
#include "sources/read_failure.h"
#include "support/date_time.h"

namespace tavro {

struct GateRequest {
  const TUkol& task;  // its runningtag is the tag read; its intervallength the window of the SQL sources
  int number;         // the task's position in its table, counted from 1
  DateTime slotTime;
};

// What the historian readers return when they found no value, and the SQL readers on every failure.
inline constexpr double kNoValueFound = -20.0;

class GateReader {
 public:
  virtual ~GateReader() = default;
  // The tag's value for the task's slot. Above 0 the gate is open; 0 or less, every failure
  // included (-20: no value found), keeps it closed. The reader logs its own failures, and notes
  // what a value that is no value of the tag stands for (Failed), for its caller to take.
  virtual double Read(const GateRequest& request) = 0;
  // At every tick, before the tasks are looked at and whether the launcher runs or not: keeps the
  // source's binding ready. False stops the launcher; the reader has logged why.
  virtual bool KeepReady() { return true; }
  // Tries the source once, when a reading of the configuration has selected it with its settings
  // complete; throws std::exception with the source's message when that fails. Most sources have
  // nothing to try before their first read.
  virtual void Prepare(const ProgramSettings& /*settings*/) {}

  // What the value of the last Read stands for, when it is no value of the tag; none when it is.
  // Whoever reads to decide a gate takes it after each Read.
  std::optional<ReadFailure> TakeFailure() { return std::exchange(failure_, std::nullopt); }

 protected:
  // A failure path of Read: notes what the value it returns stands for.
  void NoteFailure(ReadFailure failure) { failure_ = std::move(failure); }
  double Failed(double value, ReadFailure failure) {
    NoteFailure(std::move(failure));
    return value;
  }

 private:
  std::optional<ReadFailure> failure_;
};

// The readers of every source a configuration can select.
class GateSources {
 public:
  virtual ~GateSources() = default;
  virtual GateReader& ReaderFor(const ProgramSettings& settings) = 0;
  // The launcher is being started: a binding that every Start makes afresh (the PI SDK's root
  // object) is let go here, to be made again at its next use.
  virtual void Starting() {}
};

// What a reading calls to try the source it selected: that source's Prepare.
inline std::function<void(const ProgramSettings&)> PrepareSelectedSource(GateSources& sources) {
  return [&sources](const ProgramSettings& settings) { sources.ReaderFor(settings).Prepare(settings); };
}

}  // namespace tavro
