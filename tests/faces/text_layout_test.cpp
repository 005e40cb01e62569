#include "faces/text_layout.h"

#include <gtest/gtest.h>

namespace tavro {
namespace {

TEST(TextLayout, PanelsKeepTheirProportionsAndFillTheBar) {
  const struct {
    int columns;
    std::array<int, 3> widths;
  } cases[] = {{450, {50, 100, 300}}, {80, {8, 17, 55}}, {100, {11, 22, 67}}, {9, {1, 2, 6}}, {0, {0, 0, 0}},
               {-3, {0, 0, 0}}};
  for (const auto& c : cases) EXPECT_EQ(PanelWidths(c.columns), c.widths) << c.columns;
}

TEST(TextLayout, TheNewestLinesFillTheRowsFromBelow) {
  const std::deque<std::string> lines = {"old", "", "0123456789abc", "new"};
  const struct {
    int columns, rows;
    std::vector<std::string> shown;
  } cases[] = {
      {20, 10, {"old", "", "0123456789abc", "new"}},
      {20, 2, {"0123456789abc", "new"}},
      {5, 3, {"56789", "abc", "new"}},  // a long line is cut into pieces, its last pieces shown
      {5, 5, {"", "01234", "56789", "abc", "new"}},
      {5, 0, {}},
      {0, 4, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LastRows(lines, c.columns, c.rows), c.shown) << c.columns << "x" << c.rows;
  }
}

}  // namespace
}  // namespace tavro
