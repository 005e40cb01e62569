#pragma once
// The control signals as bytes on a pipe: the handler only records a signal's number, and the main
// loop acts on it between ticks, in the order the signals arrived, never inside the handler.

#include <string>

namespace tavro {

// Catches SIGUSR1, SIGUSR2, SIGHUP, SIGTERM and SIGINT from now on. False, with the reason in
// `error`, when the pipe cannot be made. Calling it again keeps the pipe it has.
bool CatchControlSignals(std::string& error);

// The pipe's reading end, to wait on with poll().
int ControlSignalFd();

// The number of the next caught signal, or 0 when none is waiting.
int TakeControlSignal();

}  // namespace tavro
