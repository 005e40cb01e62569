#include "faces/main_window_win32.h"
#include "service/service_host_win32.h"
#include "service/service_mode.h"
#include "service/service_query.h"
#include "service/service_registration_win32.h"
#include "support/event_log_win32.h"

namespace tavro {

int RunServiceMode(ControlWindow& window, DailyLogFile& log, const Parameters& parameters) {
  const bool silent = HasSwitch(parameters, "SILENT", kServiceSwitchChar);
  if (HasSwitch(parameters, "INSTALL", kServiceSwitchChar)) return InstallService(silent);
  if (HasSwitch(parameters, "UNINSTALL", kServiceSwitchChar)) return UninstallService(silent);

  // A service's window is never seen: the failures of its handlers go to the event log, under the
  // one source the install registers.
  EventLog processLog(kServiceName);
  MainWindow face(window, {false, kTimerIntervalMs, [&processLog](const std::string& message) {
                             processLog.Report(message);
                           }});
  if (!face.Created()) {
    log.Entry(face.CreationFailure());
    return 1;
  }
  return RunServiceHost(window, log, face, processLog);
}

std::unique_ptr<StartFace> ServiceStartFace(ControlWindow& window, LogSink& log) {
  return ConnectingStartFace(window, log);
}

}  // namespace tavro
