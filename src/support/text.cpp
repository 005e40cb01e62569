#include "support/text.h"

#include <limits>

namespace tavro {
namespace {

// Bases are 10 and 16. Every number of every key of a reading passes here, decimal digits first.
int DigitValue(char c, int base) {
  const unsigned decimal = static_cast<unsigned char>(c) - unsigned{'0'};
  if (decimal < 10) return static_cast<int>(decimal);
  const unsigned letter = (static_cast<unsigned char>(c) | 0x20u) - unsigned{'a'};
  return base == 16 && letter < 6 ? static_cast<int>(letter) + 10 : -1;
}

// Digits of `base` to the end of the text, with the sign already read. One past the largest
// magnitude is allowed while reading, so that the most negative number still fits.
std::optional<std::int32_t> SignedDigits(std::string_view digits, int base, bool negative) {
  if (digits.empty()) return std::nullopt;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (const char c : digits) {
    const int digit = DigitValue(c, base);
    if (digit < 0) return std::nullopt;
    magnitude = magnitude * base + digit;
    if (magnitude > kLimit) return std::nullopt;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

// Reads an optional sign at the front of `text`; true when it was a minus.
bool TakeSign(std::string_view& text) {
  if (text.empty() || (text.front() != '+' && text.front() != '-')) return false;
  const bool negative = text.front() == '-';
  text.remove_prefix(1);
  return negative;
}

}  // namespace

std::string TrimBlanks(std::string_view text) { return std::string(TrimView(text)); }

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = LowerAscii(c);
  return lower;
}

std::optional<std::int32_t> ParseIniInteger(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  const bool negative = TakeSign(text);
  int base = 10;
  if (!text.empty() && (text.front() == '$' || text.front() == 'x' || text.front() == 'X')) {
    base = 16;
    text.remove_prefix(1);
  } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  return SignedDigits(text, base, negative);
}

std::optional<std::int32_t> ParseDecimal(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  const bool negative = TakeSign(text);
  return SignedDigits(text, 10, negative);
}

}  // namespace tavro
