#include "app/launcher_program.h"

#include <cstdio>
#include <stdexcept>

#include "app/control_window.h"
#include "app/headless_face.h"
#include "app/run_mode.h"
#include "app/single_instance.h"
#include "config/launcher_state.h"
#include "schedule/launch_program.h"
#include "sources/unavailable_readers.h"
#include "support/clock.h"
#include "support/log_file.h"
#include "support/process_path.h"

namespace tavro {
namespace {

// Until this build has SQL Server access, selecting it fails its one trial, so task gating is
// switched off with the reading's own messages instead of failing later at every task.
void PrepareMssqlUnavailable(const ProgramSettings&) {
  throw std::runtime_error("SQL Server access is not available in this build");
}

}  // namespace

int RunLauncher(const Parameters& parameters) {
  const bool installCall = IsInstallCall(parameters);
  if (!installCall && !AcquireSingleInstance()) {
    ShowAlreadyRunning();
    return 0;
  }

  const std::string exeName = CurrentExecutablePath();
  SystemClock clock;
  const bool serviceMode = installCall || RunsAsService(LogFileNameFor(exeName, clock.Now()));

  LauncherState state;
  DailyLogFile log(exeName, clock);
  SystemProgramStarter starter;
  UnavailableReaders readers(log);
  ControlWindow window({state, log, clock, starter, readers, PrepareMssqlUnavailable}, parameters, !serviceMode);
  window.FormCreate(exeName);

  if (serviceMode) {
    std::fprintf(stderr, "tavrorun: not started by the service manager; the service host is not part of this build\n");
    return 1;
  }
  return RunHeadless(window);
}

}  // namespace tavro
