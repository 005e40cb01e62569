#include "window/window_loop.h"

#include "schedule/timer_cycle.h"
#include "support/idle_memory.h"
#include "support/log_file.h"

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

bool LoopFace::WaitTakingCommands(Clock& clock, int milliseconds) {
  const std::int64_t end = clock.SteadyMs() + milliseconds;
  while (!closed_ && !TickCutShort()) {
    const std::int64_t remaining = end - clock.SteadyMs();
    if (remaining <= 0) break;
    const std::optional<Command> command = NextCommand(static_cast<int>(remaining));
    if (!command) continue;
    if (*command == Command::Exit) {
      Carry(*command);
    } else {
      heldBack_.push_back(*command);
    }
  }
  return !closed_ && !TickCutShort();
}

int RunWindowLoop(ControlWindow& window, LoopFace& face) {
  face.window_ = &window;
  window.AttachFace(&face);
  if (face.Visible()) face.Guarded([&] { window.FormActivate(); });

  Clock& clock = window.TimerClock();
  // The tick's settling is spent here too, waiting for commands, so that an idle launcher wakes once
  // per tick: the tick's time is when the interval ended, kTickSettleMs before the wake.
  constexpr int kIdleMs = kTimerIntervalMs + kTickSettleMs;
  std::int64_t nextTick = clock.SteadyMs() + kIdleMs;
  // The reading after which the heap was last given back; none yet: the first tick gives back the
  // start's.
  std::optional<std::optional<ZonedTime>> releasedAfter;
  bool ticked = false;
  while (!face.Closed()) {
    // Idle time, when a window system applies the enabling rule.
    window.StartAkceUpdate();
    face.Idle();
    const std::int64_t remaining = nextTick - clock.SteadyMs();
    if (remaining > 0) {
      CloseKeptLogFile();
      // Right before the wait, so that little code runs between the release and the wait.
      if (ticked) {
        ReleaseIdleMemory(releasedAfter != window.LastReading());
        releasedAfter = window.LastReading();
        ticked = false;
      }
      if (const std::optional<Command> command = face.TakeCommand(static_cast<int>(remaining))) {
        face.Carry(*command);
      }
      continue;
    }
    face.inTick_ = true;
    TickTime tickTime = TakeTickTime(clock);
    tickTime.wall.local.ms -= kTickSettleMs;
    tickTime.steadyMs -= kTickSettleMs;
    face.Guarded([&] { window.Tick(tickTime); });
    face.inTick_ = false;
    ticked = true;
    // The next tick comes one interval after this one ended: ticks never overlap.
    nextTick = clock.SteadyMs() + kIdleMs;
  }
  window.AttachFace(nullptr);
  face.window_ = nullptr;
  return 0;
}

}  // namespace tavro
