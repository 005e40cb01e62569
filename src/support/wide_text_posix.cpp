#include "support/wide_text.h"

#include "support/utf8.h"

namespace tavro {

std::u16string ToWideText(std::string_view text) {
  std::u16string wide;
  wide.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const char32_t point = NextCodePoint(text, at);
    if (point < 0x10000) {
      wide += static_cast<char16_t>(point);
    } else {
      wide += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
      wide += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
    }
  }
  return wide;
}

std::string FromWideText(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      AppendUtf8(out, kReplacementCharacter);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

}  // namespace tavro
