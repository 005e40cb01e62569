// The tests' main: GoogleTest with a time guard, so that a test that hangs fails at once by its
// name instead of holding the whole program until CTest's timeout kills it.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace {

using std::chrono::seconds;

// A test that runs longer than its limit ends the process with "test SUITE.NAME took longer than
// N s" on standard error and exit code 1. The watch sleeps and looks at the monotonic clock, never
// a timed wait on a condition (those can hang where the clock is faked).
class TimeGuard final : public testing::EmptyTestEventListener {
 public:
  // `longer`: whether the Windows shell's tests get longer than `standard`.
  TimeGuard(seconds standard, bool longer) : standard_(standard), longer_(longer) {}
  ~TimeGuard() override { Stop(); }

  void OnTestProgramStart(const testing::UnitTest&) override {
    watcher_ = std::thread([this] { Watch(); });
  }
  void OnTestStart(const testing::TestInfo& test) override {
    const std::lock_guard lock(mutex_);
    running_ = std::string(test.test_suite_name()) + "." + test.name();
    // The Windows shell's tests wait up to a minute for each of several steps of wine's desktop and
    // service manager; CTest gives them 300 s.
    limit_ = longer_ && running_.starts_with("WinShell") ? seconds(240) : standard_;
    deadline_ = std::chrono::steady_clock::now() + limit_;
  }
  void OnTestEnd(const testing::TestInfo&) override {
    const std::lock_guard lock(mutex_);
    running_.clear();
  }
  void OnTestProgramEnd(const testing::UnitTest&) override { Stop(); }

 private:
  void Stop() {
    {
      const std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    if (watcher_.joinable()) watcher_.join();
  }
  void Watch() {
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

  const seconds standard_;
  const bool longer_;
  std::mutex mutex_;
  std::string running_;  // the test's full name; empty between tests
  seconds limit_{};
  std::chrono::steady_clock::time_point deadline_;
  bool stopping_ = false;
  std::thread watcher_;
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // Far above the slowest test on a loaded machine, and below CTest's timeout of 120 s.
  // TAVRO_TEST_TIME_LIMIT: the seconds of every test instead, 0 for none (a debugger at a breakpoint).
  const char* limit = std::getenv("TAVRO_TEST_TIME_LIMIT");
  const seconds standard = limit != nullptr ? seconds(std::atoi(limit)) : seconds(90);
  if (standard.count() > 0) {
    testing::UnitTest::GetInstance()->listeners().Append(new TimeGuard(standard, limit == nullptr));
  }
  return RUN_ALL_TESTS();
}
