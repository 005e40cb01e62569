#include "schedule/report_calendar.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

namespace tavro {
namespace {

// Leading blanks, an optional sign and decimal digits, nothing else: a trailing blank, an empty text
// or a number beyond the integer range do not convert.
std::optional<int> ToInteger(std::string_view text) {
  std::size_t i = text.find_first_not_of(' ');
  if (i == std::string_view::npos) return std::nullopt;
  const bool negative = text[i] == '-';
  if (text[i] == '-' || text[i] == '+') ++i;
  if (i == text.size()) return std::nullopt;
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > std::int64_t{std::numeric_limits<int>::max()} + 1) return std::nullopt;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<int>::max()) return std::nullopt;
  return static_cast<int>(value);
}

// Widened so that no value and step can overflow the remainder.
bool IsMultiple(int value, int step) { return std::int64_t{value} % step == 0; }

enum class ItemResult { kMatch, kNoMatch, kMalformed };

ItemResult MatchItem(std::string_view item, int value, int last) {
  if (item == "*") return ItemResult::kMatch;
  int step = 1;
  if (const std::size_t slash = item.find('/'); slash != std::string_view::npos) {
    const std::optional<int> parsed = ToInteger(item.substr(slash + 1));
    // A step of 0 has no multiples to offer; it is as malformed as one that does not convert.
    if (!parsed || *parsed == 0) return ItemResult::kMalformed;
    step = *parsed;
    item = item.substr(0, slash);
  }
  bool matched = false;
  if (item == "*") {
    matched = IsMultiple(value, step);
  } else if (item == "-1") {
    matched = value == last;
  } else if (const std::size_t dash = item.find('-'); dash != std::string_view::npos) {
    const std::optional<int> low = ToInteger(item.substr(0, dash));
    const std::optional<int> high = ToInteger(item.substr(dash + 1));
    if (!low || !high) return ItemResult::kMalformed;
    // The step applies to the value itself, not to its distance from the lower bound.
    matched = IsMultiple(value, step) && *low <= value && value <= *high;
  } else {
    const std::optional<int> number = ToInteger(item);
    if (!number) return ItemResult::kMalformed;
    matched = value == *number;
  }
  return matched ? ItemResult::kMatch : ItemResult::kNoMatch;
}

}  // namespace

bool FieldMatches(const std::string& pattern, int value, int last) {
  if (pattern == "*") return true;
  std::string_view rest = pattern;
  while (!rest.empty()) {
    const std::size_t comma = rest.find(',');
    const std::string_view item = rest.substr(0, comma);
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    // A malformed item ends the evaluation: the items after it are never looked at.
    switch (MatchItem(item, value, last)) {
      case ItemResult::kMatch:
        return true;
      case ItemResult::kMalformed:
        return false;
      case ItemResult::kNoMatch:
        break;
    }
  }
  return false;
}

bool CalendarMatches(const std::string& day, const std::string& month, const std::string& dayofweek,
                     DateTime date) {
  const CivilDateTime civil = ToCivil(date);
  // "-1" stands for the month's last day; in the month and the day of the week it matches nothing.
  return FieldMatches(month, civil.month, -1) && FieldMatches(dayofweek, DayOfWeek(date), -1) &&
         FieldMatches(day, civil.day, DaysInMonth(civil.year, civil.month));
}

}  // namespace tavro
