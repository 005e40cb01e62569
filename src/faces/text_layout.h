#pragma once
// Where things go in a window drawn in text: the widths of the three status-bar panels, the log
// lines that fit the space above them, the text of a failure's dialog.

#include <array>
#include <deque>
#include <string>
#include <vector>

namespace tavro {

// The panels' widths in columns for a bar of `columns`, in the window's proportions 50:100:300;
// together exactly `columns`.
std::array<int, 3> PanelWidths(int columns);

// The last `rows` screen rows of `lines` when each is cut into pieces of `columns` (newest last).
std::vector<std::string> LastRows(const std::deque<std::string>& lines, int columns, int rows);

}  // namespace tavro
