#include "faces/headless_face.h"

#include <iostream>
#include <string>

#include "window/outside_commands.h"
#include "window/window_loop.h"

namespace tavro {
namespace {

class HeadlessFace final : public LoopFace {
 public:
  bool Visible() const override { return !hidden_; }
  void Hide() override { hidden_ = true; }

  std::optional<Command> NextCommand(int milliseconds) override { return WaitForOutsideCommand(milliseconds); }

  // A window greys what it refuses; without one, the refusal is said where the sender can see it.
  void Refused(Command command) override {
    std::cerr << "tavrorun: " << CaptionOf(command) << " refused: the launcher is "
              << (Window().Running() ? "running" : "stopped") << "\n";
  }

  void ReportFailure(const std::string& message) override { std::cerr << "tavrorun: " << message << "\n"; }

 private:
  bool hidden_ = false;
};

}  // namespace

int RunHeadless(ControlWindow& window) {
  HeadlessFace face;
  return RunWindowLoop(window, face);
}

}  // namespace tavro
