#pragma once
// Database connection strings ("key=value;key=value"), as ODBC writes them: a value that holds a
// ";" is enclosed in braces, a "}" inside braces is doubled. The launcher builds such strings from
// its settings, takes them from the configuration, and must never write their passwords to a log.

#include <string>
#include <string_view>
#include <vector>

namespace tavro {

// A value as it may stand after "key=": enclosed in braces when it would otherwise end early or
// lose its blanks.
std::string OdbcValue(std::string_view value);

struct ConnectionPair {
  std::string key;    // without surrounding blanks
  std::string value;  // without its braces, "}}" back to "}"
  std::string text;   // the pair as written, without the ";" that ends it
};

// The connection string with more attributes ("Port=5433;Encrypt=no") as the configuration wrote
// them; a ";" between the two is added when missing.
std::string AppendOdbcAttributes(std::string text, const std::string& attributes);

// The pairs in order; empty pieces (";;") are left out.
std::vector<ConnectionPair> SplitConnectionString(std::string_view text);

// The text with its passwords replaced by "*****": for the log, and for driver messages that may
// echo the connection string. Masked are the value after every password key (PWD and Password, in
// any case, followed by "="), braced or up to the ";", the line's end or a quote, whatever it is;
// and elsewhere the whole occurrences of the passwords of the connection string.
std::string MaskPasswords(std::string text, std::string_view connectionString);

}  // namespace tavro
