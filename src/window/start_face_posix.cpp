#include <poll.h>
#include <signal.h>

#include "window/outside_commands_posix.h"
#include "window/signal_pipe_posix.h"
#include "window/start_face.h"

namespace tavro {

StartFace::~StartFace() {
  // Raised again, each is recorded on the signal pipe as it was the first time.
  for (const int signalNumber : heldBack_) raise(signalNumber);
}

bool StartFace::WaitTakingCommands(Clock& clock, int milliseconds) {
  Waiting(clock);
  const std::int64_t end = clock.SteadyMs() + milliseconds;
  while (!closed_) {
    const std::int64_t remaining = end - clock.SteadyMs();
    if (remaining <= 0) break;
    pollfd wait{ControlSignalFd(), POLLIN, 0};
    if (poll(&wait, 1, static_cast<int>(remaining)) <= 0) continue;
    const int signalNumber = TakeControlSignal();
    if (OutsideCommandOf(signalNumber) == Command::Exit) {
      Exit();
    } else if (signalNumber != 0) {
      heldBack_.push_back(signalNumber);
    }
  }
  return !closed_;
}

}  // namespace tavro
