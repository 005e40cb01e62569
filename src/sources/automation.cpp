#include "sources/automation.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "support/text.h"

namespace tavro {
namespace {

const char* KindName(const AutomationValue& value) {
  static const char* const names[] = {"empty", "null", "boolean", "integer", "number",
                                      "text",  "date", "object",  "array"};
  return names[value.kind.index()];
}

AutomationError NotConvertible(const AutomationValue& value, const char* target) {
  return AutomationError(std::string("Could not convert variant of type (") + KindName(value) + ") into type (" +
                         target + ")");
}

}  // namespace

const AutomationValue& AutomationArray::At(std::int32_t index) const {
  if (index < lowerBound || index > UpperBound()) throw AutomationError("Variant array index out of bounds");
  return elements[static_cast<std::size_t>(index - lowerBound)];
}

double ToDouble(const AutomationValue& value) {
  const AutomationValue::Kind& kind = value.kind;
  if (std::holds_alternative<std::monostate>(kind)) return 0.0;
  if (const bool* b = std::get_if<bool>(&kind)) return *b ? -1.0 : 0.0;
  if (const std::int32_t* i = std::get_if<std::int32_t>(&kind)) return *i;
  if (const double* d = std::get_if<double>(&kind)) return *d;
  if (const DateTime* t = std::get_if<DateTime>(&kind)) return ToDayCount(*t);
  if (const std::string* text = std::get_if<std::string>(&kind)) {
    const std::string trimmed = TrimBlanks(*text);
    if (!trimmed.empty()) {
      char* end = nullptr;
      errno = 0;
      const double number = std::strtod(trimmed.c_str(), &end);
      if (end == trimmed.c_str() + trimmed.size() && errno != ERANGE && std::isfinite(number)) return number;
    }
    throw AutomationError("Could not convert variant of type (text) \"" + *text + "\" into type (Double)");
  }
  throw NotConvertible(value, "Double");
}

AutomationObjectRef ToObject(const AutomationValue& value) {
  if (const AutomationObjectRef* object = std::get_if<AutomationObjectRef>(&value.kind)) {
    if (*object) return *object;
  }
  throw NotConvertible(value, "Dispatch");
}

const AutomationArray& ToArray(const AutomationValue& value) {
  if (const AutomationArray* array = std::get_if<AutomationArray>(&value.kind)) return *array;
  throw NotConvertible(value, "Array");
}

}  // namespace tavro
