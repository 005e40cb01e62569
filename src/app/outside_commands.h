#pragma once
// The commands that reach a launcher without a window from outside the process: signals on Linux
// (SIGUSR1 Start, SIGUSR2 Stop, SIGHUP ReRead ini, SIGTERM and SIGINT Exit).

#include <optional>
#include <string>

#include "app/control_window.h"

namespace tavro {

// Starts listening; false, with the reason in `error`, when the platform refuses.
bool ListenForOutsideCommands(std::string& error);

// The next command, in the order they arrived, waiting up to `milliseconds` for one (0: only looks).
std::optional<Command> WaitForOutsideCommand(int milliseconds);

}  // namespace tavro
