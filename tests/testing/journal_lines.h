#pragma once
// The lines of a journal that a test double keeps as one text, one call a line.

#include <string>
#include <vector>

namespace tavro::testutil {

inline std::vector<std::string> JournalLines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    start = end == std::string::npos ? text.size() : end + 1;
  }
  return lines;
}

}  // namespace tavro::testutil
