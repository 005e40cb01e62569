#include "tavrocheck/probe.h"

#include "config/ini_reading.h"
#include "jobs/launcher_state.h"
#include "sources/plant_sources.h"
#include "support/date_time_text.h"
#include "support/log_file.h"
#include "support/simulated_clock.h"

namespace tavro {

bool ProbeGate(const ProbeRequest& request, std::ostream& out) {
  constexpr const char* kEnd = "\r\n";  // the log's line end
  SimulatedClock clock(request.now);
  StreamLogSink log(out, clock);
  LauncherState state;
  state.Settings.IniFileName = request.iniFileName;
  ReadDeadline deadline(clock);
  PlantSources sources(state.Settings, log, clock, deadline);
  // As the launcher reads it, the SQL Server connection tried too.
  IniAkceExecute(state, ReadingContext{log, request.now, PrepareSelectedSource(sources)});
  GateReader& reader = sources.ReaderFor(state.Settings);
  if (!reader.KeepReady()) {
    out << "value\tnone\tgate closed: the source is not ready" << kEnd;
    out.flush();
    return false;
  }
  TUkol task;
  task.runningtag = request.tag;
  task.intervallength = request.intervalLength;
  const double value = reader.Read(GateRequest{task, 0, request.slotTime});
  out << "value\t" << NumberText(value) << "\t" << (value > 0.0 ? "gate open" : "gate closed") << kEnd;
  out.flush();
  return value > 0.0;
}

}  // namespace tavro
