#include "schedule/command_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/date_time_text.h"

namespace tavro {
namespace {

TEST(CommandLines, BlankQuoted) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Daily", "Daily"},
      {"My task", "\"My task\""},
      {"My \"big\" task", "\"My \"\"big\"\" task\""},
      {"no\"blank", "no\"blank"},
      {"\"a b\"", "\"\"\"a b\"\"\""},
      {"", ""},
  };
  for (const auto& [name, quoted] : cases) EXPECT_EQ(BlankQuoted(name), quoted) << name;
}

TEST(CommandLines, PumpArguments) {
  TPumpa pump;
  pump.intervallength = 60;
  pump.source = "S1";
  pump.target = "T1";
  pump.tagfile = "tags.txt";
  pump.averages = true;
  EXPECT_EQ(PumpArguments(pump, MakeDateTime(2026, 12, 7, 11, 0)),
            " /A=PUMP /d1=07.12.2026+11:00 /d2=07.12.2026+11:00 /tS=60 /sN=S1 /tN=T1 /fN=tags.txt /aV");

  pump.averages = false;
  pump.recalculate = true;
  pump.intervallength = -5;
  pump.tagfile = "my tags.txt";  // passed as stored, unquoted
  EXPECT_EQ(PumpArguments(pump, MakeDateTime(2026, 12, 31, 23, 5, 59)),
            " /A=PUMP /d1=31.12.2026+23:05 /d2=31.12.2026+23:05 /tS=-5 /sN=S1 /tN=T1 /fN=my tags.txt /rV");
}

TEST(CommandLines, BatchArguments) {
  TBec batch;
  batch.taskname = "My task";
  batch.intervallength = 60;
  EXPECT_EQ(BatchArguments(batch, "07.12.2026+00.00", "07.12.2026+23.00"),
            " /A=AC /tn=\"My task\" /d1=07.12.2026+00.00 /d2=07.12.2026+23.00 /dS=60 /nH /nE");

  batch.taskname = "Daily";
  batch.exporttohistory = true;
  EXPECT_EQ(BatchArguments(batch, "a", "b"), " /A=AC /tn=Daily /d1=a /d2=b /dS=60 /nE");
  batch.exporttoexternal = true;
  EXPECT_EQ(BatchArguments(batch, "a", "b"), " /A=AC /tn=Daily /d1=a /d2=b /dS=60");
}

TEST(CommandLines, TaskArgumentsFlagsAndSlotPattern) {
  struct Case {
    bool exporttohistory, exporttoexternal, kordden;
    const char* pattern;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {false, false, true, kTaskTimePattern, "\"Daily balance\" 07.12.2026+11.00 60 -NOH -NOE -KORDD"},
      {false, false, false, kTaskTimePattern, "\"Daily balance\" 07.12.2026+11.00 60 -NOH -NOE"},
      {false, true, false, kTaskTimePattern, "\"Daily balance\" 07.12.2026+11.00 60 -NOH"},
      {true, false, false, kTaskTimePattern, "\"Daily balance\" 07.12.2026+11.00 60 -NOE"},
      {true, true, true, kTaskTimePattern, "\"Daily balance\" 07.12.2026+11.00 60 -KORDD"},
      {true, true, false, kTaskTimePattern, "\"Daily balance\" 07.12.2026+11.00 60"},
      {true, true, false, kPumpTimePattern, "\"Daily balance\" 07.12.2026+11:00 60"},
  };
  TUkol task;
  task.taskname = "Daily balance";
  task.intervallength = 60;
  for (const Case& c : cases) {
    task.exporttohistory = c.exporttohistory;
    task.exporttoexternal = c.exporttoexternal;
    task.kordden = c.kordden;
    EXPECT_EQ(TaskArguments(task, MakeDateTime(2026, 12, 7, 11, 0), c.pattern), c.expected);
  }
}

TEST(CommandLines, ReportArguments) {
  TRepUkol report;
  report.template_ = "shiftreport";
  EXPECT_EQ(ReportArguments(report), "A:shiftreport");
  report.length = 8;
  EXPECT_EQ(ReportArguments(report), "A8:shiftreport");
  report.length = -5;
  EXPECT_EQ(ReportArguments(report), "A:shiftreport");
}

}  // namespace
}  // namespace tavro
