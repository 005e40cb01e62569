#include "service/service_mode.h"
#include "service/service_unit_posix.h"
#include "service/systemd_host_posix.h"
#include "support/process_path.h"

namespace tavro {

int RunServiceMode(ControlWindow& window, DailyLogFile& log, const Parameters& parameters) {
  const bool silent = HasSwitch(parameters, "SILENT", kServiceSwitchChar);
  if (HasSwitch(parameters, "INSTALL", kServiceSwitchChar)) return InstallService(CurrentExecutablePath(), silent);
  if (HasSwitch(parameters, "UNINSTALL", kServiceSwitchChar)) return UninstallService(silent);
  return RunSystemdService(window, log);
}

std::unique_ptr<StartFace> ServiceStartFace(ControlWindow& window, LogSink& log) {
  return SystemdStartFace(window, log);
}

}  // namespace tavro
