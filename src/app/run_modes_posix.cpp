#include <unistd.h>

#include "app/headless_face.h"
#include "app/run_modes.h"
#include "app/service_unit_posix.h"
#include "app/systemd_host_posix.h"
#include "app/terminal_face_posix.h"
#include "support/process_path.h"

namespace tavro {

// A terminal on both standard input and output gets the window; anything else (a pipe, a file,
// systemd, cron) runs headless.
int RunProgramMode(ControlWindow& window, DailyLogFile& log) {
  if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) {
    if (const std::optional<int> exitCode = RunTerminalWindow(window, log)) return *exitCode;
  }
  return RunHeadless(window);
}

int RunServiceMode(ControlWindow& window, DailyLogFile& log, const Parameters& parameters) {
  const bool silent = HasSwitch(parameters, "SILENT", kServiceSwitchChar);
  if (HasSwitch(parameters, "INSTALL", kServiceSwitchChar)) return InstallService(CurrentExecutablePath(), silent);
  if (HasSwitch(parameters, "UNINSTALL", kServiceSwitchChar)) return UninstallService(silent);
  return RunSystemdService(window, log);
}

}  // namespace tavro
