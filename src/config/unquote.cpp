#include "config/unquote.h"

namespace tavro {

std::string UnquoteValue(const std::string& value) {
  if (value.empty() || value.front() != '"') return value;
  std::string quoted;
  for (std::size_t i = 1; i < value.size(); ++i) {
    if (value[i] != '"') {
      quoted += value[i];
    } else if (i + 1 < value.size() && value[i + 1] == '"') {
      quoted += '"';
      ++i;
    } else {
      return quoted.empty() ? value : quoted;
    }
  }
  // Never closed: everything the user wrote after the quote counts.
  return value.size() > 1 ? value.substr(1) : value;
}

void Unquote(std::string& value) {
  if (!value.empty() && value.front() == '"') value = UnquoteValue(value);
}

}  // namespace tavro
