#include "sources/automation.h"

#include <gtest/gtest.h>

namespace tavro {
namespace {

TEST(Automation, ValuesAsNumbersAsTheReadersConvertThem) {
  const struct {
    const char* name;
    AutomationValue value;
    double number;
  } numbers[] = {
      {"empty", AutomationValue(), 0.0},       {"true", true, -1.0},
      {"false", false, 0.0},                   {"integer", std::int32_t{-7}, -7.0},
      {"number", 42.5, 42.5},                  {"text", "12.25", 12.25},
      {"text with blanks", " 3 ", 3.0},        {"date", MakeDateTime(1900, 1, 1, 12), 2.5},
  };
  for (const auto& c : numbers) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ToDouble(c.value), c.number);
  }
  const struct {
    const char* name;
    AutomationValue value;
  } others[] = {
      {"word", "abc"}, {"empty text", ""},     {"number and word", "3 m"},
      {"nan", "nan"},  {"null", AutomationNull{}}, {"array", AutomationArray{}},
  };
  for (const auto& c : others) {
    SCOPED_TRACE(c.name);
    EXPECT_THROW(ToDouble(c.value), AutomationError);
  }
}

TEST(Automation, ArraysKeepTheirBounds) {
  AutomationArray array{1, {AutomationValue(1.0), AutomationValue(2.0)}};
  EXPECT_EQ(array.UpperBound(), 2);
  EXPECT_EQ(ToDouble(array.At(2)), 2.0);
  EXPECT_THROW(array.At(0), AutomationError);
  EXPECT_EQ(AutomationArray{}.UpperBound(), -1);
  EXPECT_THROW(ToArray(AutomationValue(1.0)), AutomationError);
  EXPECT_THROW(ToObject(AutomationValue()), AutomationError);
}

}  // namespace
}  // namespace tavro
