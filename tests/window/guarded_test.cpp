#include "window/guarded.h"

#include <gtest/gtest.h>

namespace tavro {
namespace {

TEST(FailureBoxText, EndsWithAFullStopOnlyAfterALetterOrTheLike) {
  const struct {
    const char* message;
    const char* shown;
  } cases[] = {
      {"historian gone", "historian gone."}, {"disk full.", "disk full."}, {"code 5)", "code 5)"},
      {"see log/", "see log/."},             {"", ""},                     {"ok!", "ok!"},
      {"Ende \xE9", "Ende \xE9."},  // a code above 127 is above "." too
      {"Why?", "Why?."},            // "?" has a code above that of "."
  };
  for (const auto& c : cases) EXPECT_EQ(FailureBoxText(c.message), c.shown) << c.message;
}

}  // namespace
}  // namespace tavro
