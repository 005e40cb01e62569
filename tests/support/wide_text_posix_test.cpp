#include "support/wide_text.h"

#include <gtest/gtest.h>

namespace tavro {
namespace {

TEST(WideText, Utf8ComesAndGoesWholeAndMalformedBytesBecomeReplacementCharacters) {
  const struct {
    std::string narrow;
    std::u16string wide;
    std::string back;
  } cases[] = {
      {"FI101", u"FI101", "FI101"},
      {"\xC5\xBDlu\xC5\xA5ou\xC4\x8Dk\xC3\xBD", u"\u017Dlu\u0165ou\u010Dk\u00FD", "\xC5\xBDlu\xC5\xA5ou\xC4\x8Dk\xC3\xBD"},
      {"\xF0\x9F\x94\xA5", u"\U0001F525", "\xF0\x9F\x94\xA5"},  // beyond the 16-bit plane: a surrogate pair
      // A Latin-1 byte, a cut sequence, an overlong "/", an encoded surrogate.
      {"a\xE9z", u"a\uFFFDz", "a\xEF\xBF\xBDz"},
      {"\xE2\x82", u"\uFFFD\uFFFD", "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"\xC0\xAF", u"\uFFFD\uFFFD", "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToWideText(c.narrow), c.wide) << c.narrow;
    EXPECT_EQ(FromWideText(c.wide), c.back) << c.narrow;
  }
  EXPECT_EQ(FromWideText(u"a\xD800z"), "a\xEF\xBF\xBDz");  // a lone surrogate
}

}  // namespace
}  // namespace tavro
