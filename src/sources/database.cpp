#include "sources/database.h"

#include <string_view>

namespace tavro {

bool ServerUnreachable(const DatabaseError& error) {
  // The message holds one "[SQLSTATE] text" line per diagnostic record.
  const std::string_view text = error.what();
  for (std::size_t start = 0; start != std::string_view::npos;) {
    const std::size_t end = text.find('\n', start);
    const std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
    // Some drivers (psqlODBC) file the server's own refusal of a login under 08001 as well; the
    // server's "FATAL:" shows that it answered.
    const bool linkFailure = line.starts_with("[08") && line.find("FATAL:") == std::string_view::npos;
    if (linkFailure || line.starts_with("[HYT00]") || line.starts_with("[HYT01]")) return true;
    start = end == std::string_view::npos ? end : end + 1;
  }
  return false;
}

bool ServerUnreachable(const std::exception& error) {
  const auto* databaseError = dynamic_cast<const DatabaseError*>(&error);
  return databaseError != nullptr && ServerUnreachable(*databaseError);
}

}  // namespace tavro
