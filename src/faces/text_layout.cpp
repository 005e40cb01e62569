#include "faces/text_layout.h"

#include <algorithm>

namespace tavro {

std::array<int, 3> PanelWidths(int columns) {
  columns = std::max(columns, 0);
  const int first = columns * 50 / 450;
  const int second = columns * 100 / 450;
  return {first, second, columns - first - second};
}

std::vector<std::string> LastRows(const std::deque<std::string>& lines, int columns, int rows) {
  std::vector<std::string> shown;
  if (columns <= 0 || rows <= 0) return shown;
  const auto width = static_cast<std::size_t>(columns);
  const auto wanted = static_cast<std::size_t>(rows);
  // From the newest line backwards, each line's pieces last to first, until the rows are full.
  for (auto line = lines.rbegin(); line != lines.rend() && shown.size() < wanted; ++line) {
    const std::size_t pieces = line->empty() ? 1 : (line->size() + width - 1) / width;
    for (std::size_t piece = pieces; piece-- > 0 && shown.size() < wanted;) {
      shown.push_back(line->substr(piece * width, width));
    }
  }
  std::reverse(shown.begin(), shown.end());
  return shown;
}

}  // namespace tavro
