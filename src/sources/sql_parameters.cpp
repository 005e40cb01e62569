#include "sources/sql_parameters.h"

namespace tavro {
namespace {

bool StartsName(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool InName(char c) { return StartsName(c) || (c >= '0' && c <= '9'); }

}  // namespace

MarkedSql MarkParameters(std::string_view sql) {
  MarkedSql marked;
  char quote = 0;  // the quote character of the literal or identifier we are in
  for (std::size_t i = 0; i < sql.size(); ++i) {
    const char c = sql[i];
    if (quote != 0) {
      if (c == quote) quote = 0;  // a doubled quote closes and opens again
      marked.text += c;
    } else if (c == '\'' || c == '"') {
      quote = c;
      marked.text += c;
    } else if (c == ':' && i + 1 < sql.size() && sql[i + 1] == ':') {
      marked.text += "::";
      ++i;
    } else if (c == ':' && i + 1 < sql.size() && StartsName(sql[i + 1])) {
      std::size_t end = i + 1;
      while (end < sql.size() && InName(sql[end])) ++end;
      marked.names.emplace_back(sql.substr(i + 1, end - i - 1));
      marked.text += '?';
      i = end - 1;
    } else {
      marked.text += c;
    }
  }
  return marked;
}

}  // namespace tavro
