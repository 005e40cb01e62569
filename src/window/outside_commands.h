#pragma once
// The commands that reach a launcher from outside the process: signals on Linux (SIGUSR1 Start,
// SIGUSR2 Stop, SIGHUP ReRead ini, SIGTERM and SIGINT Exit), the window's messages on Windows.

#include <optional>
#include <string>

#include "window/control_window.h"

namespace tavro {

// Starts listening, before anything else the launcher does; false, with the reason in `error`,
// when the platform refuses. Commands that arrive before a loop waits for them are kept for it.
bool ListenForOutsideCommands(std::string& error);

// The next command, in the order they arrived, waiting up to `milliseconds` for one (0: only looks).
std::optional<Command> WaitForOutsideCommand(int milliseconds);

}  // namespace tavro
