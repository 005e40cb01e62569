#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "schedule/launch_program.h"

namespace tavro {

std::vector<std::string> SplitCommandLine(const std::string& text) {
  std::vector<std::string> arguments;
  std::string current;
  bool inArgument = false;  // a pair of quotes alone makes an (empty) argument
  bool inQuotes = false;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if ((c == ' ' || c == '\t') && !inQuotes) {
      if (inArgument) {
        arguments.push_back(std::move(current));
        current.clear();
        inArgument = false;
      }
      ++i;
      continue;
    }
    inArgument = true;
    if (c == '\\') {
      std::size_t end = i;
      while (end < text.size() && text[end] == '\\') ++end;
      const std::size_t count = end - i;
      if (end < text.size() && text[end] == '"') {
        current.append(count / 2, '\\');
        if (count % 2 == 1) {
          current += '"';
          ++end;
        }
      } else {
        current.append(count, '\\');
      }
      i = end;
    } else if (c == '"') {
      if (inQuotes && i + 1 < text.size() && text[i + 1] == '"') {
        current += '"';
        i += 2;
      } else {
        inQuotes = !inQuotes;
        ++i;
      }
    } else {
      // The ordinary characters up to the next one that means something, in one piece.
      std::size_t end = i + 1;
      while (end < text.size() && text[end] != '\\' && text[end] != '"' &&
             (inQuotes || (text[end] != ' ' && text[end] != '\t'))) {
        ++end;
      }
      current.append(text, i, end - i);
      i = end;
    }
  }
  if (inArgument) arguments.push_back(std::move(current));
  return arguments;
}

}  // namespace tavro
