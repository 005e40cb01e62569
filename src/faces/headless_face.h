#pragma once
// The launcher without a window (Linux without a terminal; on Windows the window is always there):
// the control surface is the signals from outside the process. Runs first activation at once, then
// ticks until Exit.

#include "window/control_window.h"

namespace tavro {

// Runs the loop until the window is closed; returns the process's exit code.
int RunHeadless(ControlWindow& window);

}  // namespace tavro
