#pragma once
// The one loop of the main thread for every face that has no window system of its own (headless,
// the terminal window, the systemd service): first activation, then a tick one interval after the
// previous tick ended, and in between whatever arrives from outside, each carried to its end before
// the next. Nothing else runs the model, so no lock is needed.

#include <deque>
#include <optional>
#include <string>

#include "window/control_window.h"
#include "window/guarded.h"

namespace tavro {

// A face the loop drives: where commands come from, and how refusals and failures are shown.
class LoopFace : public WindowFace {
 public:
  // Waits up to `milliseconds` (0: only looks) for the next window command from outside. A face
  // may act on other input meanwhile (keys that move in a menu, a resize, a service request).
  virtual std::optional<Command> NextCommand(int milliseconds) = 0;
  // The enabling rule refused a command (a window shows it greyed; a face without one may say so).
  virtual void Refused(Command /*command*/) {}
  // A failure escaped a handler of the window; the loop goes on.
  virtual void ReportFailure(const std::string& message) = 0;
  // Idle time: the enabling rule has just run.
  virtual void Idle() {}

  void Close() override { closed_ = true; }
  bool Closed() const { return closed_; }
  // The tick's message step: the commands that arrived meanwhile act before the job walk.
  void ProcessMessages() override;
  // A wait of the tick: an Exit acts at once and cuts the tick short, as does whatever makes
  // TickCutShort() true; other commands are held back until the tick has ended.
  bool WaitTakingCommands(Clock& clock, int milliseconds) override;
  // True when the tick in progress is to end after its launch in progress (a service's stop).
  virtual bool TickCutShort() const { return false; }

  // Carries out one command under the enabling rule, with failures reported.
  void Carry(Command command);
  // Runs one handler of the window so that a failure escaping it is reported and the loop goes on.
  template <typename Handler>
  void Guarded(Handler handler) {
    tavro::Guarded(handler, [this](const std::string& message) { ReportFailure(message); });
  }

 protected:
  // The window the loop runs; only while it runs.
  ControlWindow& Window() const { return *window_; }
  // While the window's timer tick runs.
  bool InTick() const { return inTick_; }

 private:
  friend int RunWindowLoop(ControlWindow& window, LoopFace& face);
  // The next command: one held back during a pause first, then one arriving within `milliseconds`.
  std::optional<Command> TakeCommand(int milliseconds);

  ControlWindow* window_ = nullptr;
  bool closed_ = false;
  bool inTick_ = false;
  std::deque<Command> heldBack_;
};

// Runs the window on `face` until the face is closed; returns the process's exit code (0). The
// first activation runs only on a face that is visible, as a window activates only when shown.
int RunWindowLoop(ControlWindow& window, LoopFace& face);

const char* CaptionOf(Command command);

}  // namespace tavro
