// A clock for the soak test, preloaded into the launcher (LD_PRELOAD): its time moves only while the
// process waits, by exactly the time it waits for, so weeks of ticks run as fast as the machine lets
// them and still come when the preview plans them (an accelerated real clock, as libfaketime's, turns
// a busy machine's every millisecond into many, and moves ticks past report minutes and hours).
//
// The wall clock starts at TAVRO_EVENT_CLOCK_START (seconds since 1970, UTC), the steady clocks where
// they stood at the load. A timed wait (poll, nanosleep, clock_nanosleep) that nothing ends at once
// returns at once with the clock moved on; waits without end, processor-time clocks and the programs
// the process starts stay real. Pages given back (MADV_DONTNEED) stay: the launcher gives back its
// idle code before every wait, which would cost more here than the tick itself.

#include <dlfcn.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/time.h>
#include <time.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::int64_t kNsPerSecond = 1000000000;

using ClockGettime = int (*)(clockid_t, timespec*);
using Poll = int (*)(pollfd*, nfds_t, int);

template <class Function>
Function Real(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

std::int64_t Ns(const timespec& t) { return std::int64_t{t.tv_sec} * kNsPerSecond + t.tv_nsec; }

timespec Timespec(std::int64_t ns) {
  return {static_cast<time_t>(ns / kNsPerSecond), static_cast<long>(ns % kNsPerSecond)};
}

struct EventClock {
  EventClock() {
    unsetenv("LD_PRELOAD");
    const char* start = std::getenv("TAVRO_EVENT_CLOCK_START");
    wallStartNs = start != nullptr ? std::strtoll(start, nullptr, 10) * kNsPerSecond : 0;
    timespec now{};
    Real<ClockGettime>("clock_gettime")(CLOCK_MONOTONIC, &now);
    steadyStartNs = Ns(now);
  }
  std::int64_t wallStartNs;
  std::int64_t steadyStartNs;
  std::atomic<std::int64_t> passedNs{0};  // read in signal handlers too: lock-free
};

EventClock& Clock() {
  static EventClock clock;
  return clock;
}

void Pass(std::int64_t ns) {
  if (ns > 0) Clock().passedNs.fetch_add(ns);
}

// Made at the load, before the process can start a program.
[[gnu::constructor]] void Load() { Clock(); }

}  // namespace

extern "C" {

int clock_gettime(clockid_t id, timespec* t) {
  EventClock& c = Clock();
  switch (id) {
    case CLOCK_REALTIME:
    case CLOCK_REALTIME_COARSE:
      *t = Timespec(c.wallStartNs + c.passedNs.load());
      return 0;
    case CLOCK_MONOTONIC:
    case CLOCK_MONOTONIC_RAW:
    case CLOCK_MONOTONIC_COARSE:
    case CLOCK_BOOTTIME:
      *t = Timespec(c.steadyStartNs + c.passedNs.load());
      return 0;
    default:
      return Real<ClockGettime>("clock_gettime")(id, t);
  }
}

int gettimeofday(timeval* t, void*) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  t->tv_sec = now.tv_sec;
  t->tv_usec = static_cast<suseconds_t>(now.tv_nsec / 1000);
  return 0;
}

time_t time(time_t* t) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  if (t != nullptr) *t = now.tv_sec;
  return now.tv_sec;
}

int poll(pollfd* fds, nfds_t count, int milliseconds) {
  static const Poll real = Real<Poll>("poll");
  if (milliseconds < 0) return real(fds, count, milliseconds);
  const int ready = real(fds, count, 0);
  if (ready == 0) Pass(std::int64_t{milliseconds} * 1000000);
  return ready;
}

int nanosleep(const timespec* wait, timespec* left) {
  Pass(Ns(*wait));
  if (left != nullptr) *left = {};
  return 0;
}

int clock_nanosleep(clockid_t id, int flags, const timespec* wait, timespec* left) {
  timespec now{};
  clock_gettime(id, &now);
  Pass((flags & TIMER_ABSTIME) != 0 ? Ns(*wait) - Ns(now) : Ns(*wait));
  if (left != nullptr) *left = {};
  return 0;
}

int madvise(void* address, size_t length, int advice) {
  using Madvise = int (*)(void*, size_t, int);
  static const Madvise real = Real<Madvise>("madvise");
  return advice == MADV_DONTNEED ? 0 : real(address, length, advice);
}

}  // extern "C"
