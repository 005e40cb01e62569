#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "schedule/launch_program.h"

namespace tavro {
namespace {

struct SplitCase {
  const char* text;
  std::vector<std::string> expected;
};

TEST(SplitCommandLine, FollowsTheWindowsRuntimeRules) {
  const SplitCase cases[] = {
      {"", {}},
      {" \t  ", {}},
      {"a b\tc", {"a", "b", "c"}},
      {"  a   b  ", {"a", "b"}},
      // task arguments: a blank-quoted name, slot time, interval and flags
      {"\"Daily balance\" 07.12.2026+11.00 60 -NOH", {"Daily balance", "07.12.2026+11.00", "60", "-NOH"}},
      {"/A=AC /tn=\"My task\" /d1=x", {"/A=AC", "/tn=My task", "/d1=x"}},
      {"\"My \"\"big\"\" task\" 5", {"My \"big\" task", "5"}},
      {"\"\"", {""}},
      {"a \"\" b", {"a", "", "b"}},
      {"a\"b c\"d", {"ab cd"}},
      {"\"open to the end", {"open to the end"}},
      {"a\\b a\\\\b", {"a\\b", "a\\\\b"}},           // backslashes without a quote are literal
      {"\\\"a", {"\"a"}},                              // odd count: literal quote
      {"\\\\\"a b\"", {"\\a b"}},                      // even count: the quote groups
      {"\\\\\\\"a", {"\\\"a"}},
      {"\"C:\\dir\\\\\" x", {"C:\\dir\\", "x"}},       // a closing quote after a folder's backslash
      {"A8:shift report", {"A8:shift", "report"}},     // unquoted blanks split a template
  };
  for (const SplitCase& c : cases) {
    EXPECT_EQ(SplitCommandLine(c.text), c.expected) << "text: " << c.text;
  }
}

}  // namespace
}  // namespace tavro
