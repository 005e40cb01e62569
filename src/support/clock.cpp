#include "support/clock.h"

#include <chrono>
#include <thread>

namespace tavro {

DateTime SystemClock::Now() { return LocalNow(); }

void SystemClock::Wait(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

}  // namespace tavro
