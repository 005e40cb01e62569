#pragma once
// What each platform supplies once start-up has created the control window: the program mode's
// face and loop, and the service host. Both return the process's exit code.

#include "app/control_window.h"
#include "app/switches.h"
#include "support/log_file.h"

namespace tavro {

// Shows the window (a Win32 window; a terminal window, or headless without a terminal) and runs its
// loop until the window is closed.
int RunProgramMode(ControlWindow& window, DailyLogFile& log);

// Installs, removes, or runs as the service TavroRunner until the service manager stops it.
int RunServiceMode(ControlWindow& window, DailyLogFile& log, const Parameters& parameters);

}  // namespace tavro
