#pragma once
// One key of a section as the reading takes it: its name, its kind and default, and the field it
// fills. Sections are read through tables of such rules, and tavrocheck learns from the same tables
// which keys exist and which values make sense.

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <variant>

#include "config/ini_file.h"
#include "config/taken_values.h"
#include "support/text.h"

namespace tavro {

enum class KeyKind { Integer, Boolean, Text };

// The values of an integer key that make sense; the reading itself takes any integer.
struct ValueRange {
  std::int32_t lowest = std::numeric_limits<std::int32_t>::min();
  std::int32_t highest = std::numeric_limits<std::int32_t>::max();
};
inline constexpr ValueRange kAnyValue{};
inline constexpr ValueRange kNotNegative{0, std::numeric_limits<std::int32_t>::max()};

template <class Record>
struct KeyRule {
  std::string_view name;  // its length known once: a preview looks keys up millions of times
  std::variant<std::int32_t Record::*, bool Record::*, std::string Record::*> field;
  std::int32_t numberDefault = 0;  // integer keys; 1 or 0 for boolean keys
  const char* textDefault = "";    // text keys
  ValueRange sensible = kAnyValue;

  constexpr KeyKind Kind() const {
    if (std::holds_alternative<std::int32_t Record::*>(field)) return KeyKind::Integer;
    if (std::holds_alternative<bool Record::*>(field)) return KeyKind::Boolean;
    return KeyKind::Text;
  }
};

template <class Record>
constexpr KeyRule<Record> IntegerKey(std::string_view name, std::int32_t Record::*field, std::int32_t fallback,
                                     ValueRange sensible = kAnyValue) {
  return {name, field, fallback, "", sensible};
}
template <class Record>
constexpr KeyRule<Record> BooleanKey(std::string_view name, bool Record::*field, bool fallback) {
  return {name, field, fallback ? 1 : 0, "", kAnyValue};
}
template <class Record>
constexpr KeyRule<Record> TextKey(std::string_view name, std::string Record::*field, const char* fallback = "") {
  return {name, field, 0, fallback, kAnyValue};
}

// Fills the record's fields from the section, each key with its default when missing or unusable.
// With `kept`, the keys found in the same section of the same file before are used again.
template <class Record, class Rules>
void ReadKeys(const IniFile& ini, const std::string& sectionName, const Rules& rules, Record& record,
              TakenValues* kept = nullptr) {
  const auto find = [&ini, section = ini.FindSection(sectionName)](const KeyRule<Record>& rule) -> TakenValue {
    return section == nullptr ? std::nullopt : ini.FindIn(*section, rule.name);
  };
  // Every table holds rules: values kept for a section are never empty.
  std::vector<TakenValue>* taken = kept != nullptr ? &(*kept)[sectionName] : nullptr;
  if (taken != nullptr && taken->empty()) {
    for (const KeyRule<Record>& rule : rules) taken->push_back(find(rule));
  }
  for (std::size_t r = 0; r < rules.size(); ++r) {
    const KeyRule<Record>& rule = rules[r];
    const TakenValue value = taken != nullptr ? (*taken)[r] : find(rule);
    if (const auto* integer = std::get_if<std::int32_t Record::*>(&rule.field)) {
      record.**integer = value ? ParseIniInteger(*value).value_or(rule.numberDefault) : rule.numberDefault;
    } else if (const auto* boolean = std::get_if<bool Record::*>(&rule.field)) {
      record.**boolean = (value ? ParseIniInteger(*value).value_or(rule.numberDefault) : rule.numberDefault) != 0;
    } else {
      // Assigned in place: a re-reading of an unchanged file then allocates nothing.
      std::string& text = record.*std::get<std::string Record::*>(rule.field);
      if (value) {
        text.assign(*value);
      } else {
        text.assign(rule.textDefault);
      }
    }
  }
}

}  // namespace tavro
