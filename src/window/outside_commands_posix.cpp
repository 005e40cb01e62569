// Signals arrive on a pipe, so that they act only where the model lets commands act (between ticks,
// and at the tick's message step), never in the middle of a job walk.

#include <poll.h>
#include <signal.h>

#include "window/outside_commands.h"
#include "window/outside_commands_posix.h"
#include "window/signal_pipe_posix.h"

namespace tavro {

std::optional<Command> OutsideCommandOf(int signalNumber) {
  switch (signalNumber) {
    case SIGUSR1:
      return Command::Start;
    case SIGUSR2:
      return Command::Stop;
    case SIGHUP:
      return Command::ReReadIni;
    case SIGTERM:
    case SIGINT:
      return Command::Exit;
    default:
      return std::nullopt;
  }
}

bool ListenForOutsideCommands(std::string& error) { return CatchControlSignals(error); }

std::optional<Command> WaitForOutsideCommand(int milliseconds) {
  pollfd wait{ControlSignalFd(), POLLIN, 0};
  if (milliseconds > 0 && poll(&wait, 1, milliseconds) <= 0) return std::nullopt;
  return OutsideCommandOf(TakeControlSignal());
}

}  // namespace tavro
