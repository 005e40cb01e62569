#include "tavrocheck/probe.h"

#include "config/ini_reading.h"
#include "jobs/launcher_state.h"
#include "support/date_time_text.h"
#include "support/log_file.h"
#include "support/simulated_clock.h"
#include "tavrocheck/launcher_sources.h"

namespace tavro {

ProbeOutcome ProbeGate(const ProbeRequest& request, std::ostream& out) {
  constexpr const char* kEnd = "\r\n";  // the log's line end
  SimulatedClock clock(request.now);
  StreamLogSink log(out, clock);
  LauncherState state;
  state.Settings.IniFileName = request.iniFileName;
  // The read comes right after the reading, on the connection its trial made.
  LauncherSources sources(state.Settings, request.iniFileName, log, clock, TrialConnection::KeepForRead);
  // As the launcher reads it, the SQL Server connection tried too.
  IniAkceExecute(state, ReadingContext{log, request.now, sources.Trial()});
  const auto verdict = [&out](const std::string& value, const std::string& what, ProbeOutcome outcome) {
    out << "value\t" << value << "\t" << what << kEnd;
    out.flush();
    return outcome;
  };
  // A value read for a file the launcher refuses would answer a question it never asks.
  if (!state.Settings.IniValid) {
    return verdict("none", "the file has errors: the launcher would stay stopped", ProbeOutcome::Invalid);
  }
  if (state.Settings.SourceMode == kSourceNone) {
    return verdict("none", "source unavailable: the task would run ungated", ProbeOutcome::SourceUnavailable);
  }
  TUkol task;
  task.runningtag = request.tag;
  task.intervallength = request.intervalLength;
  // The task's number as the launcher counts it: the first task is 1.
  const LauncherSources::Gate gate = sources.Read(state.Settings, task, 1, request.slotTime, log);
  if (gate.notReady) return verdict("none", "gate closed: the source is not ready", ProbeOutcome::Closed);
  const ReadOutcome& read = gate.read;
  if (read.value > 0.0) return verdict(NumberText(read.value), "gate open", ProbeOutcome::Open);
  return verdict(NumberText(read.value), read.failure ? "gate closed: " + read.failure->Meaning() : "gate closed",
                 ProbeOutcome::Closed);
}

}  // namespace tavro
