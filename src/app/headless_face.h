#pragma once
// The launcher without a window: the control surface is the commands from outside the process
// (signals on Linux, console events on Windows). Runs first activation at once, then ticks until
// Exit.

#include "app/control_window.h"

namespace tavro {

// Runs the loop until the window is closed; returns the process's exit code.
int RunHeadless(ControlWindow& window);

}  // namespace tavro
