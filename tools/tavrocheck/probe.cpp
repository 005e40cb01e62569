#include "tavrocheck/probe.h"

#include <filesystem>

#include "config/ini_reading.h"
#include "jobs/launcher_state.h"
#include "sources/plant_sources.h"
#include "support/clock.h"
#include "support/date_time_text.h"
#include "support/log_file.h"
#include "support/simulated_clock.h"

namespace tavro {

ProbeOutcome ProbeGate(const ProbeRequest& request, std::ostream& out) {
  constexpr const char* kEnd = "\r\n";  // the log's line end
  SimulatedClock clock(request.now);
  StreamLogSink log(out, clock);
  LauncherState state;
  state.Settings.IniFileName = request.iniFileName;
  // The read keeps to its deadline in real time, whatever time the probe is made for.
  SystemClock realTime;
  ReadDeadline deadline(realTime);
  const ReadPause pause = [&realTime](int milliseconds) {
    realTime.Wait(milliseconds);
    return true;
  };
  // The launcher of this file runs beside it: its PI API library is looked for there. The read comes
  // right after the reading, on the connection its trial made.
  PlantSources sources(state.Settings, log, clock, deadline,
                       std::filesystem::absolute(request.iniFileName).parent_path().string(),
                       TrialConnection::KeepForRead);
  // As the launcher reads it, the SQL Server connection tried too.
  IniAkceExecute(state, ReadingContext{log, request.now, PrepareSelectedSource(sources)});
  const auto verdict = [&out](const std::string& value, const std::string& what, ProbeOutcome outcome) {
    out << "value\t" << value << "\t" << what << kEnd;
    out.flush();
    return outcome;
  };
  if (state.Settings.SourceMode == kSourceNone) {
    return verdict("none", "source unavailable: the task would run ungated", ProbeOutcome::SourceUnavailable);
  }
  GateReader& reader = sources.ReaderFor(state.Settings);
  bool ready = true;
  if (deadline.Bound(state.Settings.ReadTimeout, pause, [&] { ready = reader.KeepReady(); }) != ReadDeadline::End::Done ||
      !ready) {
    return verdict("none", "gate closed: the source is not ready", ProbeOutcome::Closed);
  }
  TUkol task;
  task.runningtag = request.tag;
  task.intervallength = request.intervalLength;
  ReadOutcome read{0.0, false};
  try {
    // The task's number as the launcher counts it: the first task is 1.
    read = deadline.Read(reader, GateRequest{task, 1, request.slotTime}, state.Settings.ReadTimeout, log, pause);
  } catch (const std::exception& error) {
    // As the launcher's tick: the reader has let go of what it held; the gate stays shut.
    log.Entry(error.what());
    return verdict("none", "gate closed: the read failed", ProbeOutcome::Closed);
  }
  if (read.value > 0.0) return verdict(NumberText(read.value), "gate open", ProbeOutcome::Open);
  return verdict(NumberText(read.value), read.failure ? "gate closed: " + read.failure->Meaning() : "gate closed",
                 ProbeOutcome::Closed);
}

}  // namespace tavro
