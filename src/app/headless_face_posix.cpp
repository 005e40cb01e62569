#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>

#include "app/guarded.h"
#include "app/headless_face.h"
#include "schedule/timer_cycle.h"

namespace tavro {
namespace {

// Signals arrive on a pipe, so that they act only where the model lets messages act (between
// ticks, and at the tick's message step), never in the middle of a job walk.
int signalPipe[2] = {-1, -1};

void OnSignal(int signalNumber) {
  const int saved = errno;
  const unsigned char code = static_cast<unsigned char>(signalNumber);
  [[maybe_unused]] ssize_t written = write(signalPipe[1], &code, 1);
  errno = saved;
}

class HeadlessFace final : public WindowFace {
 public:
  explicit HeadlessFace(ControlWindow& window) : window_(window) {}

  bool Visible() const override { return !hidden_; }
  void Hide() override { hidden_ = true; }
  void Close() override { closed_ = true; }
  bool Closed() const { return closed_; }

  void ProcessMessages() override {
    unsigned char code = 0;
    while (!closed_ && read(signalPipe[0], &code, 1) == 1) window_.Execute(CommandOf(code));
  }

 private:
  static Command CommandOf(int signalNumber) {
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

  ControlWindow& window_;
  bool hidden_ = false;
  bool closed_ = false;
};

bool InstallSignals() {
  if (pipe2(signalPipe, O_NONBLOCK | O_CLOEXEC) != 0) return false;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signalNumber : {SIGUSR1, SIGUSR2, SIGHUP, SIGTERM, SIGINT}) sigaction(signalNumber, &action, nullptr);
  return true;
}

}  // namespace

int RunHeadless(ControlWindow& window) {
  if (!InstallSignals()) {
    std::perror("tavrorun: signals");
    return 1;
  }
  HeadlessFace face(window);
  window.AttachFace(&face);
  Guarded([&] { window.FormActivate(); });

  using SteadyClock = std::chrono::steady_clock;
  auto nextTick = SteadyClock::now() + std::chrono::milliseconds(kTimerIntervalMs);
  while (!face.Closed()) {
    const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(nextTick - SteadyClock::now());
    if (remaining.count() > 0) {
      pollfd wait{signalPipe[0], POLLIN, 0};
      if (poll(&wait, 1, static_cast<int>(remaining.count())) > 0) Guarded([&] { face.ProcessMessages(); });
      continue;
    }
    Guarded([&] { window.timrTimer(); });
    // The next tick comes one interval after this one ended: ticks never overlap.
    nextTick = SteadyClock::now() + std::chrono::milliseconds(kTimerIntervalMs);
  }
  window.AttachFace(nullptr);
  return 0;
}

}  // namespace tavro
