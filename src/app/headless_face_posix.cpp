#include "app/headless_face.h"

#include <chrono>
#include <iostream>
#include <string>

#include "app/guarded.h"
#include "app/outside_commands.h"
#include "schedule/timer_cycle.h"

namespace tavro {
namespace {

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

class HeadlessFace final : public WindowFace {
 public:
  explicit HeadlessFace(ControlWindow& window) : window_(window) {}

  bool Visible() const override { return !hidden_; }
  void Hide() override { hidden_ = true; }
  void Close() override { closed_ = true; }
  bool Closed() const { return closed_; }

  void ProcessMessages() override {
    while (!closed_) {
      const std::optional<Command> command = WaitForOutsideCommand(0);
      if (!command) return;
      Carry(*command);
    }
  }

  // A window greys what it refuses; without one, the refusal is said where the sender can see it.
  void Carry(Command command) {
    if (window_.Execute(command)) return;
    std::cerr << "tavrorun: " << CaptionOf(command) << " refused: the launcher is "
              << (window_.Running() ? "running" : "stopped") << "\n";
  }

 private:
  ControlWindow& window_;
  bool hidden_ = false;
  bool closed_ = false;
};

}  // namespace

int RunHeadless(ControlWindow& window) {
  std::string error;
  if (!ListenForOutsideCommands(error)) {
    std::cerr << "tavrorun: " << error << "\n";
    return 1;
  }
  HeadlessFace face(window);
  window.AttachFace(&face);
  Guarded([&] { window.FormActivate(); });

  using SteadyClock = std::chrono::steady_clock;
  constexpr auto kInterval = std::chrono::milliseconds(kTimerIntervalMs);
  auto nextTick = SteadyClock::now() + kInterval;
  while (!face.Closed()) {
    // Idle time, when a window system applies the enabling rule.
    window.StartAkceUpdate();
    const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(nextTick - SteadyClock::now());
    if (remaining.count() > 0) {
      if (const std::optional<Command> command = WaitForOutsideCommand(static_cast<int>(remaining.count()))) {
        Guarded([&] { face.Carry(*command); });
      }
      continue;
    }
    Guarded([&] { window.timrTimer(); });
    // The next tick comes one interval after this one ended: ticks never overlap.
    nextTick = SteadyClock::now() + kInterval;
  }
  window.AttachFace(nullptr);
  return 0;
}

}  // namespace tavro
