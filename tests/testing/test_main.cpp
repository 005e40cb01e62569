// The tests' main: GoogleTest with a time guard for each test.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "testing/time_guard.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  using std::chrono::seconds;
  // Far above the slowest test on a loaded machine, and below CTest's timeout of 120 s, so that a
  // hang is named. The Windows shell's tests wait up to a minute for each of several steps of
  // wine's desktop and service manager; CTest gives them 300 s.
  seconds standard{90};
  std::vector<tavro::testutil::TimeLimit> longer{{"WinShell", seconds(240)}};
  // TAVRO_TEST_TIME_LIMIT: the seconds of every test instead, 0 for none (a debugger at a breakpoint).
  if (const char* limit = std::getenv("TAVRO_TEST_TIME_LIMIT")) {
    standard = seconds(std::atoi(limit));
    longer.clear();
  }
  if (standard.count() > 0) {
    testing::UnitTest::GetInstance()->listeners().Append(new tavro::testutil::TimeGuard(standard, longer));
  }
  return RUN_ALL_TESTS();
}
