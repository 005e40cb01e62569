// Signals arrive on a pipe, so that they act only where the model lets commands act (between ticks,
// and at the tick's message step), never in the middle of a job walk.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/outside_commands.h"

namespace tavro {
namespace {

constexpr int kControlSignals[] = {SIGUSR1, SIGUSR2, SIGHUP, SIGTERM, SIGINT};

int signalPipe[2] = {-1, -1};

void OnSignal(int signalNumber) {
  const int saved = errno;
  const unsigned char code = static_cast<unsigned char>(signalNumber);
  [[maybe_unused]] ssize_t written = write(signalPipe[1], &code, 1);
  errno = saved;
}

Command CommandOf(int signalNumber) {
  switch (signalNumber) {
    case SIGUSR1:
      return Command::Start;
    case SIGUSR2:
      return Command::Stop;
    case SIGHUP:
      return Command::ReReadIni;
    default:
      return Command::Exit;
  }
}

}  // namespace

bool ListenForOutsideCommands(std::string& error) {
  if (pipe2(signalPipe, O_NONBLOCK | O_CLOEXEC) != 0) {
    error = std::string("signals: ") + std::strerror(errno);
    return false;
  }
  struct sigaction action {};
  action.sa_handler = OnSignal;
  // While one control signal is being recorded the others wait, so that the pipe holds them in
  // the order they arrived.
  sigemptyset(&action.sa_mask);
  for (const int signalNumber : kControlSignals) sigaddset(&action.sa_mask, signalNumber);
  action.sa_flags = SA_RESTART;
  for (const int signalNumber : kControlSignals) sigaction(signalNumber, &action, nullptr);
  return true;
}

std::optional<Command> WaitForOutsideCommand(int milliseconds) {
  pollfd wait{signalPipe[0], POLLIN, 0};
  if (milliseconds > 0 && poll(&wait, 1, milliseconds) <= 0) return std::nullopt;
  unsigned char code = 0;
  if (read(signalPipe[0], &code, 1) != 1) return std::nullopt;
  return CommandOf(code);
}

}  // namespace tavro
