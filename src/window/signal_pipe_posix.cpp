#include "window/signal_pipe_posix.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

}  // namespace

bool CatchControlSignals(std::string& error) {
  if (signalPipe[0] < 0 && pipe2(signalPipe, O_NONBLOCK | O_CLOEXEC) != 0) {
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

int ControlSignalFd() { return signalPipe[0]; }

int TakeControlSignal() {
  unsigned char code = 0;
  if (signalPipe[0] < 0 || read(signalPipe[0], &code, 1) != 1) return 0;
  return code;
}

}  // namespace tavro
