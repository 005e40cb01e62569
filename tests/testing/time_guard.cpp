#include "testing/time_guard.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace tavro::testutil {

TimeGuard::TimeGuard(std::chrono::seconds standard, std::vector<TimeLimit> longer)
    : standard_(standard), longer_(std::move(longer)) {}

TimeGuard::~TimeGuard() { Stop(); }

void TimeGuard::OnTestProgramStart(const testing::UnitTest&) {
  watcher_ = std::thread([this] { Watch(); });
}

void TimeGuard::OnTestStart(const testing::TestInfo& test) {
  const std::string name = std::string(test.test_suite_name()) + "." + test.name();
  std::chrono::seconds limit = standard_;
  for (const TimeLimit& longer : longer_) {
    if (name.compare(0, longer.prefix.size(), longer.prefix) == 0) {
      limit = longer.limit;
      break;
    }
  }
  const std::lock_guard lock(mutex_);
  running_ = name;
  limit_ = limit;
  deadline_ = std::chrono::steady_clock::now() + limit;
}

void TimeGuard::OnTestEnd(const testing::TestInfo&) {
  const std::lock_guard lock(mutex_);
  running_.clear();
}

void TimeGuard::OnTestProgramEnd(const testing::UnitTest&) { Stop(); }

void TimeGuard::Stop() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  if (watcher_.joinable()) watcher_.join();
}

void TimeGuard::Watch() {
  for (;;) {
    {
      const std::lock_guard lock(mutex_);
      if (stopping_) return;
      if (!running_.empty() && std::chrono::steady_clock::now() >= deadline_) {
        // Standard output is left as it is: a test stuck in a write may hold it.
        std::fprintf(stderr, "\ntest %s took longer than %lld s\n", running_.c_str(),
                     static_cast<long long>(limit_.count()));
        std::fflush(stderr);
        std::_Exit(1);
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

}  // namespace tavro::testutil
