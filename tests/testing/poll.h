#pragma once
// Waiting for what another process or thread does in its own time: the condition is asked again on
// the monotonic clock until it holds or the deadline passes. A condition that holds ends the wait at
// once, so the deadline is only ever paid by a fault and can be generous (a loaded machine, wine).
// Header-only, so that the tests' small programs wait the same way.

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

namespace tavro::testutil {

// Far beyond what a busy two-core machine needs to start or end a process.
inline constexpr std::chrono::milliseconds kPatience{60000};

// Whether `condition` held before `deadline` passed; it is asked once more at the deadline, so a
// wait that overslept still sees what happened meanwhile.
inline bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds deadline = kPatience) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  // Quick answers come soon; a long wait asks every 50 ms, which costs a busy machine nothing.
  std::chrono::milliseconds pause{1};
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= end) return condition();
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(50));
  }
  return true;
}

}  // namespace tavro::testutil
