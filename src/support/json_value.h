#pragma once
// A JSON document in memory, as much of JSON as the status file uses (all of it but numbers beyond
// a double's precision).

#include <map>
#include <optional>
#include <string>
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
  // The value as that type, or `fallback` when it is another.
  std::string Text(const std::string& fallback = {}) const;
  double Number(double fallback = 0.0) const;
  bool Boolean(bool fallback = false) const;
  const Array& Items() const;
};

// The whole text as one value; none with the reason (and where) in `error`.
std::optional<JsonValue> ParseJson(const std::string& text, std::string& error);

}  // namespace tavro
