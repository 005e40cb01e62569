#pragma once
// A test that hangs fails by its name, at once: without this guard it holds the whole test program
// until CTest's timeout kills it, and nothing says which test it was.

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tavro::testutil {

struct TimeLimit {
  std::string prefix;  // of "Suite.Name": a family of suites, a suite or one test
  std::chrono::seconds limit;
};

// Watches each test from its start; one that runs longer than its limit ends the process with
// "test SUITE.NAME took longer than N s" on standard error and exit code 1. The watch is a sleep
// and a look at the monotonic clock, never a timed wait on a condition (those can hang where the
// clock is faked).
class TimeGuard final : public testing::EmptyTestEventListener {
 public:
  // `longer`: the tests that may take longer than `standard`; the first prefix that matches counts.
  TimeGuard(std::chrono::seconds standard, std::vector<TimeLimit> longer);
  ~TimeGuard() override;

  void OnTestProgramStart(const testing::UnitTest&) override;
  void OnTestStart(const testing::TestInfo& test) override;
  void OnTestEnd(const testing::TestInfo&) override;
  void OnTestProgramEnd(const testing::UnitTest&) override;

 private:
  void Watch();
  void Stop();

  const std::chrono::seconds standard_;
  const std::vector<TimeLimit> longer_;
  std::mutex mutex_;
  std::string running_;  // the test's full name; empty between tests
  std::chrono::seconds limit_{};
  std::chrono::steady_clock::time_point deadline_;
  bool stopping_ = false;
  std::thread watcher_;
};

}  // namespace tavro::testutil
