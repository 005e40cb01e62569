#include "jobs/history_line.h"

#include <gtest/gtest.h>

namespace tavro {
namespace {

ZonedTime At(int hour, int minute, int offsetMinutes = 60) {
  return {MakeDateTime(2026, 12, 7, hour, minute, 0), offsetMinutes};
}

// Each kind of line reads back as written; a TAB or a line break in a text becomes a blank, so that
// it cannot split the line. Lines that are no journal lines are refused.
TEST(HistoryLine, RoundTripsAndRefusesWhatIsNoJournalLine) {
  const struct {
    HistoryLine line;
    const char* text;
  } cases[] = {
      {{At(10, 5), HistoryEvent::Launched, JobKind::Pump, 2, At(10, 0), {}, "", "/opt/p a\tb"},
       "2026-12-07T10:05:00+01:00\tlaunched\tpump 2\t2026-12-07T10:00:00+01:00\t\t\t/opt/p a b\n"},
      {{At(10, 5, -300), HistoryEvent::SourceFailed, JobKind::Task, 12, At(10, 0, -300), {}, "RUN (-20): down\nnow",
        "t \"Kotel č. 2\""},
       "2026-12-07T10:05:00-05:00\tsource failed\ttask 12\t2026-12-07T10:00:00-05:00\t\tRUN (-20): down now\t"
       "t \"Kotel č. 2\"\n"},
      {{At(3, 5), HistoryEvent::NotRunning, JobKind::Pump, 0, At(1, 58), At(3, 5), "killed", ""},
       "2026-12-07T03:05:00+01:00\tnot running\t\t2026-12-07T01:58:00+01:00\t2026-12-07T03:05:00+01:00\tkilled\t\n"},
  };
  for (const auto& c : cases) {
    const std::string text = HistoryLineText(c.line);
    EXPECT_EQ(text, c.text);
    const std::optional<HistoryLine> read = ParseHistoryLine(text);
    ASSERT_TRUE(read) << text;
    EXPECT_EQ(HistoryLineText(*read), text);
    EXPECT_EQ(read->slot, c.line.slot);
    EXPECT_EQ(read->number, c.line.number);
  }
  for (const char* wrong : {
           "2026-12-07T10:05:00+01:00\tlaunched\tpump 2\t2026-12-07T10:00",  // torn
           "2026-12-07T10:05:00+01:00\tlanched\tpump 2\t\t\t\t",
           "2026-12-07T10:05:00+01:00\tlaunched\tpomp 2\t\t\t\t",
           "2026-12-07T10:05:00+01:00\tlaunched\tpump 0\t\t\t\t",
           "2026-12-07 10:05:00\tlaunched\tpump 2\t\t\t\t",
           "2026-12-07T10:05:00+01:00\tlaunched\tpump 2\tsoon\t\t\t",
       }) {
    EXPECT_FALSE(ParseHistoryLine(wrong)) << wrong;
  }
}

}  // namespace
}  // namespace tavro
