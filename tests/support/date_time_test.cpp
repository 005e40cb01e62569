#include "support/date_time.h"

#include <gtest/gtest.h>

namespace tavro {
namespace {

TEST(DateTime, DayCountOriginAndNeverDate) {
  EXPECT_EQ(MakeDateTime(1899, 12, 30).ms, 0);
  EXPECT_DOUBLE_EQ(ToDayCount(MakeDateTime(2026, 12, 7, 12)), 46363.5);
  EXPECT_EQ(FromDayCount(46363.5), MakeDateTime(2026, 12, 7, 12));
  const CivilDateTime never = ToCivil(NeverDate);
  EXPECT_EQ(never.year, 9999);
  EXPECT_EQ(never.month, 12);
  EXPECT_EQ(never.day, 31);
}

}  // namespace
}  // namespace tavro
