#include "support/clock.h"

#include <chrono>
#include <thread>

namespace tavro {

DateTime SystemClock::Now() { return LocalNow(); }

std::int64_t SystemClock::SteadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void SystemClock::Wait(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

}  // namespace tavro
