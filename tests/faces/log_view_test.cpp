#include "faces/log_view.h"

#include <gtest/gtest.h>

#include "support/log_file.h"
#include "support/simulated_clock.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

using testutil::TempDir;
using testutil::WriteFileBytes;

std::vector<std::string> Lines(const LogView& view) { return {view.Lines().begin(), view.Lines().end()}; }

TEST(LogView, ShowsTheFilesEntriesThenWhatTheLogWrites) {
  TempDir dir;
  SimulatedClock clock{MakeDateTime(2026, 12, 7, 10, 7, 30)};
  DailyLogFile log(dir.File("tavrorun"), clock);
  WriteFileBytes(log.LogFileName(),
                 "2026.12.07 10:00:00\tReading ini...\r\n"
                 "unstamped\r\n"
                 "2026.12.07 10:00:01\tOLE error:\rsecond line\r\n");
  LogView view;
  view.Seed(log.LogFileName());
  log.EchoTo(&view.Stream());
  log.Entry("Starting");
  log.Write("ab\tc\x01", false);
  EXPECT_EQ(Lines(view), (std::vector<std::string>{"2026.12.07 10:00:00     Reading ini...", "unstamped",
                                                   "2026.12.07 10:00:01     OLE error:", "second line",
                                                   "2026.12.07 10:07:30     Starting", "ab      c?"}));
}

TEST(LogView, ALongFileGivesItsLastLinesAndAMissingOneNothing) {
  TempDir dir;
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "2026.12.07 10:00:00\tentry " + std::to_string(i) + "\r\n";
  WriteFileBytes(dir.File("log.txt"), text);
  LogView view;
  view.Seed(dir.File("missing.txt"));
  EXPECT_TRUE(view.Lines().empty());
  view.Seed(dir.File("log.txt"));
  ASSERT_EQ(view.Lines().size(), LogView::kMaxLines);
  EXPECT_EQ(view.Lines().back(), "2026.12.07 10:00:00     entry 4999");
  EXPECT_EQ(view.Lines().front(), "2026.12.07 10:00:00     entry " + std::to_string(5000 - LogView::kMaxLines));
}

}  // namespace
}  // namespace tavro
