#pragma once
// Named parameters in SQL texts: ":tag" in "where tag=:tag" is sent to the server as a "?" marker
// and bound by its position.

#include <string>
#include <string_view>
#include <vector>

namespace tavro {

struct MarkedSql {
  std::string text;                // the SQL text with "?" in place of each ":name"
  std::vector<std::string> names;  // the parameters in order of appearance, from 1
};

// A ":" followed by a letter or "_" starts a name of letters, digits and "_". Text inside single or
// double quotes is left alone, and so is "::" (a type cast in some dialects).
MarkedSql MarkParameters(std::string_view sql);

}  // namespace tavro
