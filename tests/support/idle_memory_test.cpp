#include "support/idle_memory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/date_time_text.h"

namespace tavro {
namespace {

// What is given back must come back unchanged: code from its file, and never a page the process
// wrote (the relocated tables every call into a library goes through).
TEST(IdleMemory, EverythingRunsAsBeforeOnceThePagesAreGivenBack) {
  const auto work = [] {
    std::vector<std::string> texts;
    for (int i = 0; i < 1000; ++i) texts.push_back(FormatDateTime(kTaskTimePattern, MakeDateTime(2026, 12, 9, i % 24)));
    char line[64];
    std::snprintf(line, sizeof line, "%s %zu", texts.back().c_str(), texts.size());
    return std::string(line);
  };
  const std::string before = work();
  for (const bool withHeap : {true, false}) {
    ReleaseIdleMemory(withHeap);
    EXPECT_EQ(work(), before);
  }
}

}  // namespace
}  // namespace tavro
