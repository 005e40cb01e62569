#include "support/base64.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavro {
namespace {

TEST(Base64, CharValues) {
  EXPECT_EQ(Base64CharValue('A'), 0);
  EXPECT_EQ(Base64CharValue('a'), 26);
  EXPECT_EQ(Base64CharValue('0'), 52);
  EXPECT_EQ(Base64CharValue('+'), 62);
  EXPECT_EQ(Base64CharValue('/'), 63);
  for (char foreign : {'=', ' ', '-', '_', '\n', '\0', '\xE9'})
    EXPECT_EQ(Base64CharValue(foreign), 61) << int(foreign);
}

TEST(Base64, Decodes) {
  struct Case {
    std::string text, expected;
  };
  const std::vector<Case> cases = {
      {"YWJj", "abc"},
      {"YQ==", "a"},
      {"YWI=", "ab"},
      {"QUJD", "ABC"},
      {"", ""},
      {"c2VjcmV0IDEh", "secret 1!"},
      {"AAEC/w==", std::string("\x00\x01\x02\xff", 4)},
      // Every trailing "=" costs a byte, also beyond the padding of correct text.
      {"====", ""},
      {"Q===", ""},
      {"YWJjQ===", "abc"},
      // A foreign character decodes as 61 ('9') without complaint.
      {"YW J", "aoI"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Base64ToStr(c.text), c.expected);
  }
}

TEST(Base64, RefusesIllegalLengths) {
  for (const std::string text : {"Y", "YW", "YWJ", "YWJjZ", "YWJjZGU"}) {
    SCOPED_TRACE(text);
    try {
      Base64ToStr(text);
      ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), "Base64ToStr: illegal input length!");
    }
  }
}

}  // namespace
}  // namespace tavro
