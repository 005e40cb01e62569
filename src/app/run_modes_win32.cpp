#include "app/run_modes.h"

#include "app/event_log_win32.h"
#include "app/main_window_win32.h"
#include "app/service_host_win32.h"
#include "app/service_registration_win32.h"
#include "app/system_error_win32.h"
#include "support/process_path.h"

namespace tavro {
namespace {

int WindowRefused(const MainWindow& face, DailyLogFile& log) {
  log.Entry("The window cannot be created: " + SystemMessage(face.CreationError()));
  return 1;
}

}  // namespace

int RunProgramMode(ControlWindow& window, DailyLogFile& log) {
  MainWindow face(window, {});
  if (!face.Created()) return WindowRefused(face, log);
  face.Show();
  return face.RunMessageLoop();
}

int RunServiceMode(ControlWindow& window, DailyLogFile& log, const Parameters& parameters) {
  const bool silent = HasSwitch(parameters, "SILENT", kServiceSwitchChar);
  if (HasSwitch(parameters, "INSTALL", kServiceSwitchChar)) return InstallService(silent);
  if (HasSwitch(parameters, "UNINSTALL", kServiceSwitchChar)) return UninstallService(silent);

  // A service's window is never seen: the failures of its handlers go to the event log.
  EventLog processLog(FileNameOf(CurrentExecutablePath()));
  MainWindow face(window, {false, kTimerIntervalMs, [&processLog](const std::string& message) {
                             processLog.Report(message);
                           }});
  if (!face.Created()) return WindowRefused(face, log);
  return RunServiceHost(window, log, face, processLog);
}

}  // namespace tavro
