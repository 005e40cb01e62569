#pragma once
// What stands in for the window's face while the window is being created, before its loop runs:
// the first reading, whose trial of a source may wait up to readtimeout (an hour at most). An Exit
// from outside (SIGTERM, SIGINT on Linux) acts at once and ends that wait, so that a process asked
// to end during its start ends then, with nothing said after its last word; the other commands
// wait for the window's loop. On Windows no command reaches a window that is not there yet.

#include <vector>

#include "support/clock.h"
#include "window/control_window.h"

namespace tavro {

class StartFace : public WindowFace {
 public:
  explicit StartFace(ControlWindow& window) : window_(window) {}
  // Hands what it held back on to the loop, in the order it came.
  ~StartFace() override;
  StartFace(const StartFace&) = delete;
  StartFace& operator=(const StartFace&) = delete;

  bool Visible() const override { return false; }
  void Hide() override {}
  void Close() override { closed_ = true; }
  void ProcessMessages() override {}
  bool WaitTakingCommands(Clock& clock, int milliseconds) override;

 protected:
  // An Exit came: the Exit command's, by default ("Closing program...").
  virtual void Exit() { window_.ExitAkceExecute(); }
  // At every wait of the start: a service manager may be told that the start goes on.
  virtual void Waiting(Clock& /*clock*/) {}

  ControlWindow& window_;

 private:
  bool closed_ = false;
  std::vector<int> heldBack_;  // what came meanwhile, as the platform names it
};

}  // namespace tavro
