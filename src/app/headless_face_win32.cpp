#include <windows.h>

#include <atomic>
#include <cstdio>

#include "app/guarded.h"
#include "app/headless_face.h"
#include "schedule/timer_cycle.h"

namespace tavro {
namespace {

// Console events (Ctrl+C, Ctrl+Break, closing the console) ask for Exit; they arrive on a thread of
// their own, so they only set a flag that the loop turns into the command.
std::atomic<bool> exitRequested{false};

BOOL WINAPI OnConsoleEvent(DWORD) {
  exitRequested = true;
  return TRUE;
}

class HeadlessFace final : public WindowFace {
 public:
  explicit HeadlessFace(ControlWindow& window) : window_(window) {}
  bool Visible() const override { return !hidden_; }
  void Hide() override { hidden_ = true; }
  void Close() override { closed_ = true; }
  bool Closed() const { return closed_; }
  void ProcessMessages() override {
    if (exitRequested.exchange(false)) window_.Execute(Command::Exit);
  }

 private:
  ControlWindow& window_;
  bool hidden_ = false;
  bool closed_ = false;
};

}  // namespace

int RunHeadless(ControlWindow& window) {
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
  HeadlessFace face(window);
  window.AttachFace(&face);
  Guarded([&] { window.FormActivate(); });
  ULONGLONG nextTick = GetTickCount64() + kTimerIntervalMs;
  while (!face.Closed()) {
    const ULONGLONG now = GetTickCount64();
    if (now < nextTick) {
      Sleep(static_cast<DWORD>(nextTick - now < 200 ? nextTick - now : 200));
      face.ProcessMessages();
      continue;
    }
    Guarded([&] { window.timrTimer(); });
    nextTick = GetTickCount64() + kTimerIntervalMs;
  }
  window.AttachFace(nullptr);
  return 0;
}

}  // namespace tavro
