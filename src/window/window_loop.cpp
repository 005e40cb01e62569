#include "window/window_loop.h"

#include <chrono>

#include "schedule/timer_cycle.h"

namespace tavro {

const char* CaptionOf(Command command) {
  switch (command) {
    case Command::Start:
      return "Start";
    case Command::Stop:
      return "Stop";
    case Command::ReReadIni:
      return "ReRead ini";
    case Command::Exit:
      return "Exit";
  }
  return "";
}

void LoopFace::Carry(Command command) {
  Guarded([&] {
    if (!window_->Execute(command)) Refused(command);
  });
}

std::optional<Command> LoopFace::TakeCommand(int milliseconds) {
  if (!heldBack_.empty()) {
    const Command command = heldBack_.front();
    heldBack_.pop_front();
    return command;
  }
  return NextCommand(milliseconds);
}

void LoopFace::ProcessMessages() {
  while (!closed_) {
    const std::optional<Command> command = TakeCommand(0);
    if (!command) return;
    Carry(*command);
  }
}

bool LoopFace::PauseAfterLaunch(Clock&, int milliseconds) {
  using SteadyClock = std::chrono::steady_clock;
  const auto end = SteadyClock::now() + std::chrono::milliseconds(milliseconds);
  while (!closed_) {
    const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(end - SteadyClock::now());
    if (remaining.count() <= 0) break;
    const std::optional<Command> command = NextCommand(static_cast<int>(remaining.count()));
    if (!command) continue;
    if (*command == Command::Exit) {
      Carry(*command);
    } else {
      heldBack_.push_back(*command);
    }
  }
  return !closed_;
}

int RunWindowLoop(ControlWindow& window, LoopFace& face) {
  face.window_ = &window;
  window.AttachFace(&face);
  if (face.Visible()) face.Guarded([&] { window.FormActivate(); });

  using SteadyClock = std::chrono::steady_clock;
  constexpr auto kInterval = std::chrono::milliseconds(kTimerIntervalMs);
  auto nextTick = SteadyClock::now() + kInterval;
  while (!face.Closed()) {
    // Idle time, when a window system applies the enabling rule.
    window.StartAkceUpdate();
    face.Idle();
    const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(nextTick - SteadyClock::now());
    if (remaining.count() > 0) {
      if (const std::optional<Command> command = face.TakeCommand(static_cast<int>(remaining.count()))) {
        face.Carry(*command);
      }
      continue;
    }
    face.Guarded([&] { window.timrTimer(); });
    // The next tick comes one interval after this one ended: ticks never overlap.
    nextTick = SteadyClock::now() + kInterval;
  }
  window.AttachFace(nullptr);
  face.window_ = nullptr;
  return 0;
}

}  // namespace tavro
