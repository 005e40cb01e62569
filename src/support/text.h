#pragma once
// Text helpers shared by the configuration, the calendar, the log texts and the shells: what counts
// as a blank and as part of a word, letter case, integers as people write them, and the log's line
// break.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavro {

// A line break inside a log text (and the end of every log entry).
inline constexpr const char* kLineBreak = "\r\n";

// The space and every control character count as blanks.
constexpr bool IsBlank(char c) { return static_cast<unsigned char>(c) < 33; }

// Letters, digits, "_" and every byte of a character beyond ASCII (a letter of UTF-8 or a code page).
constexpr bool IsWordByte(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' || u >= 0x80;
}

// Inline: the reading trims every line, name and value of the file.
constexpr std::string_view TrimView(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}
std::string TrimBlanks(std::string_view text);

// Case rules of the configuration: only the letters A to Z have another case.
constexpr char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
std::string LowerAscii(std::string_view text);
constexpr bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    // Names are mostly written in one case: equal bytes need no lowering.
    if (a[i] != b[i] && LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

// A signed 32-bit integer written as a whole: optional leading blanks, an optional "+" or "-", then
// decimal digits, or hexadecimal digits after "$", "x", "X", "0x" or "0X". Nothing may follow.
// No value when the text is not such a number or the number does not fit.
std::optional<std::int32_t> ParseIniInteger(std::string_view text);

// Leading spaces, an optional sign and decimal digits, nothing else: a trailing blank, an empty text
// or a number beyond 32 bits do not convert.
std::optional<std::int32_t> ParseDecimal(std::string_view text);

}  // namespace tavro
