#pragma once
// Program mode: the face each platform shows the control window on, and the loop that runs it.

#include "support/log_file.h"
#include "window/control_window.h"

namespace tavro {

// Shows the window (a Win32 window; a terminal window, or headless without a terminal) and runs its
// loop until the window is closed. Returns the process's exit code.
int RunProgramMode(ControlWindow& window, DailyLogFile& log);

}  // namespace tavro
