#include <gtest/gtest.h>

#include <vector>

#include "support/date_time_text.h"

namespace tavro {
namespace {

TEST(DateTimeTextPosix, FixedForms) {
  EXPECT_EQ(TimeSeparator(), ':');
  EXPECT_EQ(DateTimeText(MakeDateTime(2026, 12, 7, 10, 5)), "2026-12-07 10:05:00");
  EXPECT_EQ(DateTimeText(MakeDateTime(2026, 12, 7)), "2026-12-07");
  // Midnight is judged in whole seconds.
  EXPECT_EQ(DateTimeText(MakeDateTime(2026, 12, 7, 0, 0, 0, 999)), "2026-12-07");
  EXPECT_EQ(DateTimeText(MakeDateTime(2026, 12, 7, 0, 0, 1)), "2026-12-07 00:00:01");
}

TEST(DateTimeTextPosix, NumberText) {
  struct Case {
    double value;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {0.0, "0"},       {-1.0, "-1"},   {0.5, "0.5"}, {1.0 / 3, "0.333333333333333"},
      {42.25, "42.25"}, {-20.0, "-20"},
  };
  for (const Case& c : cases) EXPECT_EQ(NumberText(c.value), c.expected);
}

}  // namespace
}  // namespace tavro
