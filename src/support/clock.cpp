#include "support/clock.h"

#include <chrono>
#include <string>
#include <thread>
#include <utility>

namespace tavro {

std::int64_t SystemClock::InstantNow() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::int64_t SystemClock::SteadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

TickTime TakeTickTime(Clock& clock) {
  std::string zone = clock.RefreshZone();
  const std::int64_t steady = clock.SteadyMs();
  return {clock.ZonedNow(), steady, std::move(zone)};
}

DateTime LocalNow() {
  SystemClock clock;
  clock.Zone().Refresh();
  return clock.Now();
}

void SystemClock::Wait(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

}  // namespace tavro
