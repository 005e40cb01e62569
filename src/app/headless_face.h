#pragma once
// The launcher without a window: the control surface is the process's signals (Linux) or console
// events (Windows). Runs first activation at once, then ticks until Exit.

#include "app/control_window.h"

namespace tavro {

// Runs the loop until the window is closed; returns the process's exit code.
int RunHeadless(ControlWindow& window);

}  // namespace tavro
