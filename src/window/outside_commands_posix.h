#pragma once
// Linux: the window command a control signal stands for without a window.

#include <optional>

#include "window/control_window.h"

namespace tavro {

// SIGUSR1 Start, SIGUSR2 Stop, SIGHUP ReRead ini, SIGTERM and SIGINT Exit; nothing for any other.
std::optional<Command> OutsideCommandOf(int signalNumber);

}  // namespace tavro
