#include "support/date_time_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavro {
namespace {

TEST(DateTimeText, CommandLinePatterns) {
  struct Case {
    const char* pattern;
    DateTime value;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {kPumpTimePattern, MakeDateTime(2026, 12, 31, 23, 5), "31.12.2026+23:05"},
      {kTaskTimePattern, MakeDateTime(2026, 12, 31, 23, 5), "31.12.2026+23.05"},
      {kTaskTimePattern, MakeDateTime(2026, 12, 7, 10, 15, 59), "07.12.2026+10.15"},
      {kPumpTimePattern, MakeDateTime(2027, 1, 1), "01.01.2027+00:00"},
      {R"(yyyy"mm"ss)", MakeDateTime(2026, 12, 7, 1, 2, 3), "2026mm03"},
      // Years far from today keep their digits: a phase of years can push a slot there.
      {kTaskTimePattern, MakeDateTime(10192, 3, 4, 5, 6), "04.03.10192+05.06"},
      {kTaskTimePattern, MakeDateTime(7, 3, 4), "04.03.0007+00.00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(FormatDateTime(c.pattern, c.value), c.expected);
  }
}

TEST(DateTimeText, AppendDecimalWritesWhatToStringWrites) {
  for (const int value : {0, 7, 9, 10, 99, 100, 999, 1000, 2147483647, -1, -2147483647 - 1}) {
    std::string text = "x";
    AppendDecimal(text, value);
    EXPECT_EQ(text, "x" + std::to_string(value));
  }
}

TEST(DateTimeText, LogStampUsesTheSystemTimeSeparator) {
  const std::string sep(1, TimeSeparator());
  EXPECT_EQ(LogStamp(MakeDateTime(2026, 12, 7, 4, 25)), "2026.12.07 04" + sep + "25" + sep + "00");
  EXPECT_EQ(LogStamp(MakeDateTime(2026, 1, 31, 23, 59, 59, 999)), "2026.01.31 23" + sep + "59" + sep + "59");
}

}  // namespace
}  // namespace tavro
