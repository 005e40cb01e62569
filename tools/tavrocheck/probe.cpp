#include "tavrocheck/probe.h"

#include <filesystem>
#include <vector>

#include "config/ini_reading.h"
#include "jobs/launcher_state.h"
#include "sources/plant_sources.h"
#include "support/clock.h"
#include "support/date_time_text.h"
#include "support/log_file.h"
#include "support/simulated_clock.h"

namespace tavro {
namespace {

// The folder of the launcher that reads this configuration, where it loads its PI API library from:
// a launcher reads the file of its own name with ".ini" beside itself. That is this file's folder
// when the launcher lies there, else the installed launcher's folder when its configuration is this
// file (linked to it, as the package lays it out), else this file's folder.
std::string LauncherFolder(const std::string& iniFile) {
  namespace fs = std::filesystem;
  const fs::path given = fs::absolute(iniFile);
  std::vector<fs::path> configurations{given};
#ifdef TAVRO_INSTALLED_INI
  configurations.emplace_back(TAVRO_INSTALLED_INI);
#endif
  for (const fs::path& configuration : configurations) {
    std::error_code error;
    const bool launcherThere = fs::exists(fs::path(configuration).replace_extension(), error) ||
                               fs::exists(fs::path(configuration).replace_extension(".exe"), error);
    if (launcherThere && fs::equivalent(configuration, given, error)) return configuration.parent_path().string();
  }
  return given.parent_path().string();
}

}  // namespace

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
  // The PI API library is looked for where the launcher of this file looks for it. The read comes
  // right after the reading, on the connection its trial made.
  PlantSources sources(state.Settings, log, clock, deadline, LauncherFolder(request.iniFileName),
                       TrialConnection::KeepForRead);
  // As the launcher reads it, the SQL Server connection tried too.
  IniAkceExecute(state, ReadingContext{log, request.now, PrepareSelectedSource(sources)});
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
  GateReader& reader = sources.ReaderFor(state.Settings);
  bool ready = true;
  if (deadline.Bound(state.Settings.ReadTimeout, pause, [&] { ready = reader.KeepReady(); }) != ReadDeadline::End::Done ||
      !ready) {
    return verdict("none", "gate closed: the source is not ready", ProbeOutcome::Closed);
  }
  TUkol task;
  task.runningtag = request.tag;
  task.intervallength = request.intervalLength;
  // The task's number as the launcher counts it: the first task is 1.
  const ReadOutcome read =
      deadline.Read(reader, GateRequest{task, 1, request.slotTime}, state.Settings.ReadTimeout, log, pause);
  if (read.value > 0.0) return verdict(NumberText(read.value), "gate open", ProbeOutcome::Open);
  return verdict(NumberText(read.value), read.failure ? "gate closed: " + read.failure->Meaning() : "gate closed",
                 ProbeOutcome::Closed);
}

}  // namespace tavro
