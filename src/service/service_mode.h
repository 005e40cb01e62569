#pragma once
// Service mode: installing and removing the service, or running as it under the platform's service
// manager.

#include <memory>

#include "support/log_file.h"
#include "support/log_sink.h"
#include "window/control_window.h"
#include "window/start_face.h"
#include "window/switches.h"

namespace tavro {

// Installs, removes, or runs as the service TavroRunner until the service manager stops it.
// Returns the process's exit code.
int RunServiceMode(ControlWindow& window, DailyLogFile& log, const Parameters& parameters);

// What takes the service manager's requests while the window is created (start_face.h), before the
// service runs: a stop ends the start ("Service is stopping..."). The manager is also told, while the
// start waits, that it goes on, so that a long trial of a source outlasts no start limit.
std::unique_ptr<StartFace> ServiceStartFace(ControlWindow& window, LogSink& log);

}  // namespace tavro
