#include "jobs/report_calendar.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace tavro {
namespace {

TEST(ReportCalendar, FieldMatches) {
  struct Case {
    std::string pattern;
    int last;
    std::vector<int> matching, notMatching;
  };
  const std::vector<Case> cases = {
      {"*", -1, {0, 17, -1}, {}},
      {"*/2", -1, {4}, {5}},
      {"*/3", -1, {3, 6, 9, 12}, {4}},
      {"1,15", -1, {1, 15}, {2}},
      {"1-5", -1, {1, 5}, {0, 6}},
      // The step tests the value itself, not its distance from the lower bound.
      {"10-20/5", -1, {10, 15, 20}, {11, 25, 5}},
      {"11-20/5", -1, {15, 20}, {11, 16}},
      {"5/2", -1, {5}, {7}},
      {"-1", 29, {29}, {28, -1}},
      {"1,-1", 31, {1, 31}, {30}},
      {"1,", -1, {1}, {}},
      {"+3", -1, {3}, {}},
      {" 3", -1, {3}, {}},
      {"1, 3", -1, {1, 3}, {}},
      {"*/-2", -1, {4}, {3}},
      {"*/-1", -1, {INT_MIN}, {}},
      {"2147483647", -1, {INT_MAX}, {}},
      {"*,x", -1, {4}, {}},
      // A malformed item ends the evaluation; only the items before it have had their chance.
      {"x,3", -1, {}, {3}},
      {"3,x", -1, {3}, {4}},
      {"1 ,3", -1, {}, {1, 3}},
      {"3 ", -1, {}, {3}},
      {"", -1, {}, {1}},
      {",3", -1, {}, {3}},
      {"1,,3", -1, {1}, {3}},
      {"-2", -1, {}, {-2}},
      {"1-", -1, {}, {1}},
      {"a-5", -1, {}, {1}},
      {"1-5x", -1, {}, {1}},
      {"*/x", -1, {}, {2}},
      {"*/", -1, {}, {2}},
      {"3/", -1, {}, {3}},
      {"0x1", -1, {}, {0, 1}},
      {"99999999999,1", -1, {}, {1}},
      {"1-99999999999", -1, {}, {5}},
      // A step of 0 is malformed where the step counts; a single number and "-1" ignore it.
      {"*/0", -1, {}, {0, 5}},
      {"1-5/0", -1, {}, {3}},
      {"3,*/0", -1, {3}, {4}},
      {"5/0", -1, {5}, {0, 4}},
      {"-1/0", 31, {31}, {0, 30}},
      {"-1/0,4", 30, {30, 4}, {31}},
  };
  for (const Case& c : cases) {
    for (int value : c.matching) {
      EXPECT_TRUE(FieldMatches(c.pattern, value, c.last)) << '"' << c.pattern << "\" " << value;
    }
    for (int value : c.notMatching) {
      EXPECT_FALSE(FieldMatches(c.pattern, value, c.last)) << '"' << c.pattern << "\" " << value;
    }
  }
}

TEST(ReportCalendar, CalendarMatches) {
  struct Case {
    std::string day, month, dayofweek;
    DateTime date;
    bool matches;
  };
  const std::vector<Case> cases = {
      {"-1", "*", "*", MakeDateTime(2028, 2, 29), true},
      {"-1", "*", "*", MakeDateTime(2028, 2, 28), false},
      {"-1", "*", "*", MakeDateTime(2026, 2, 28), true},
      {"-1", "*", "*", MakeDateTime(2027, 2, 28), true},
      {"-1", "*", "*", MakeDateTime(2026, 4, 30), true},
      {"-1", "*", "*", MakeDateTime(2026, 12, 31), true},
      {"-1", "*", "*", MakeDateTime(2026, 12, 30), false},
      {"*", "-1", "*", MakeDateTime(2026, 12, 31), false},
      {"*", "*", "-1", MakeDateTime(2026, 11, 1), false},
      // Sunday 1 November 2026.
      {"1", "11", "1-5", MakeDateTime(2026, 11, 1), false},
      {"1", "11", "7", MakeDateTime(2026, 11, 1), true},
      {"1", "12", "7", MakeDateTime(2026, 11, 1), false},
      {"2", "11", "7", MakeDateTime(2026, 11, 1), false},
      {"*", "*", "6,7", MakeDateTime(2026, 12, 5), true},
      {"*", "*", "1-5", MakeDateTime(2026, 12, 5), false},
      {"*", "*/3", "*", MakeDateTime(2026, 3, 1), true},
      {"*", "*/3", "*", MakeDateTime(2026, 4, 1), false},
      {"1,15", "*", "*", MakeDateTime(2026, 12, 15), true},
      {"*", "x", "*", MakeDateTime(2026, 12, 15), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CalendarMatches(c.day, c.month, c.dayofweek, c.date), c.matches)
        << c.day << " " << c.month << " " << c.dayofweek << " on day " << c.date.ms / kMsPerDay;
  }
}

}  // namespace
}  // namespace tavro
