#pragma once
// Service mode: installing and removing the service, or running as it under the platform's service
// manager.

#include "support/log_file.h"
#include "window/control_window.h"
#include "window/switches.h"

namespace tavro {

// Installs, removes, or runs as the service TavroRunner until the service manager stops it.
// Returns the process's exit code.
int RunServiceMode(ControlWindow& window, DailyLogFile& log, const Parameters& parameters);

}  // namespace tavro
