#pragma once
// JSON both ways, as much of it as the launcher's records use: texts written so that any standard
// parser reads them back (UTF-8, every control character escaped), and a strict reader that refuses
// what is no JSON (bytes that are no UTF-8, raw control characters, numbers out of JSON's grammar),
// so that a damaged record is told as such instead of being half read.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tavro {

struct JsonValue {
  using Array = std::vector<JsonValue>;
  using Object = std::map<std::string, JsonValue>;
  std::variant<std::nullptr_t, bool, double, std::string, Array, Object> value;

  // The member `name` of an object; null for a missing member or a value that is no object.
  const JsonValue& operator[](const std::string& name) const;
  bool IsNull() const { return std::holds_alternative<std::nullptr_t>(value); }
  template <typename T>
  const T* As() const {
    return std::get_if<T>(&value);
  }
};

// The whole text as one value; none with the reason (and where) in `error`.
std::optional<JsonValue> ParseJson(std::string_view text, std::string& error);

// A JSON string of `utf8`; a byte that is not part of valid UTF-8 is taken as a Latin-1 character,
// so the result is always valid.
void AppendJsonString(std::string& out, std::string_view utf8);
// JSON has no infinities or NaN: they are written as null. Integers up to 2^53 are written whole.
void AppendJsonNumber(std::string& out, double value);

}  // namespace tavro
