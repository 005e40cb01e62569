#pragma once
// Linux: the control window in a terminal (ncurses): the caption, the menu bar with its drop-down
// and shortcuts, the day's log entries, the three-panel status bar and a dialog for a failure.

#include <optional>

#include "support/log_file.h"
#include "window/control_window.h"

namespace tavro {

// Shows the window in the terminal of standard input and output and runs it until it is closed;
// returns the exit code. No value when the terminal cannot hold a window (an unknown terminal
// type): nothing has happened then, and the caller runs headless.
std::optional<int> RunTerminalWindow(ControlWindow& window, DailyLogFile& log);

}  // namespace tavro
