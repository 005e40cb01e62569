#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <tuple>

#include "config/ini_file_cache.h"
#include "config/reading_harness.h"
#include "support/date_time_text.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

using configtest::ErrorVerdict;
using configtest::Entry;
using configtest::Reading;

const std::string kOneTask = "[tasks]\ncount=1\n[task_1]\nexename=t.exe\ntaskname=T\n";
const std::string kOnePump = "[pumps]\ncount=1\n[pump_1]\nexename=p.exe\nsource=S\ntarget=T\ntagfile=f.txt\n";

TEST(JobSections, ErrorsMakeTheFileInvalid) {
  const struct {
    const char* name;
    std::string text;
    std::vector<std::string> errors;
  } cases[] = {
      {"empty pump",
       "[pumps]\ncount=1\n[pump_1]\n",
       {"No EXE name found in pump_1", "No source name found in pump_1", "No target name found in pump_1",
        "No tagfile name found in pump_1"}},
      {"empty batch", "[batches]\ncount=1\n", {"No EXE name found in batch_1", "No BDT name found in batch_1"}},
      {"second task empty",
       "[tasks]\ncount=2\n[task_1]\nexename=x\ntaskname=y\n",
       {"No EXE name found in task_2", "No BDT name found in task_2"}},
      {"quoted empty exename", kOneTask + "[batches]\ncount=1\n[batch_1]\nexename=\"\"\ntaskname=B\n",
       {"No EXE name found in batch_1"}},
      {"pump period 0", kOnePump + "launchperiod=0\n", {"Wrong launchperiod 0 in pump_1"}},
      {"task period below 0", "[tasks]\ncount=1\n[task_1]\nexename=x\ntaskname=y\nlaunchperiod=-5\n",
       {"Wrong launchperiod -5 in task_1"}},
      {"negative count", "[pumps]\ncount=-2\n" + kOneTask, {"Negative count -2 in section pumps"}},
      {"negative task count", "[tasks]\ncount=-1\n", {"Negative count -1 in section tasks"}},
      {"negative report count", "[reports]\ncount=-1\n" + kOneTask, {"Negative count -1 in section reports"}},
      {"count beyond reason", "[batches]\ncount=2000000000\n" + kOneTask,
       {"Too large count 2000000000 in section batches"}},
  };
  for (const auto& c : cases) {
    Reading reading;
    reading.Read(c.text);
    EXPECT_FALSE(reading.state.Settings.IniValid) << c.name;
    EXPECT_EQ(reading.Last(), (Entry{true, ErrorVerdict(c.errors)})) << c.name;
  }
}

TEST(JobSections, AFileWithoutPumpsBatchesOrTasksIsInvalid) {
  for (const std::string text : {"", "[reports]\ncount=2\nexename=r.exe\n[report_1]\ntemplate=x\n",
                                  "[pumps]\ncount=0\n[pump_1]\nexename=p\n"}) {
    Reading reading;
    reading.Read(text);
    EXPECT_FALSE(reading.state.Settings.IniValid) << text;
    EXPECT_EQ(reading.Last(),
              (Entry{true, "In ini found these errors:\r\nNo batch, pump or task found in file /plant/tavrorun.ini"}))
        << text;
  }
}

TEST(JobSections, BadCountsLeaveTheirTableEmpty) {
  Reading reading;
  reading.Read("[pumps]\ncount=2\n[pump_1]\nexename=x\n" + kOneTask);
  reading.Read("[pumps]\ncount=-2\n" + kOneTask);
  EXPECT_EQ(reading.state.Pumps.count, 0);
  EXPECT_TRUE(reading.state.Pumps.Items.empty());
  EXPECT_EQ(reading.state.Tasks.Items.size(), 1u);
}

TEST(JobSections, WarningsCorrectValuesAndKeepTheFileValid) {
  const struct {
    const char* name;
    std::string batchKeys;
    std::string reportKeys;
    const char* warning;  // nullptr: none
    std::function<void(const LauncherState&)> check;
  } cases[] = {
      {"batch mode", "type=5\n", "", "batch_1: stupid mode 5 set to 0 (daily). Fix it please.",
       [](const LauncherState& s) { EXPECT_EQ(s.Batches.Items[0].type, 0); }},
      {"weekly day", "type=1\nday=9\n", "", "batch_1: stupid day 9 set to 1 (monday). Fix it please.",
       [](const LauncherState& s) { EXPECT_EQ(s.Batches.Items[0].day, 1); }},
      {"day of a daily batch", "type=-1\nday=9\n", "", "batch_1: stupid mode -1 set to 0 (daily). Fix it please.",
       [](const LauncherState& s) { EXPECT_EQ(s.Batches.Items[0].day, 9); }},
      {"monthly day unchecked", "type=2\nday=40\n", "", nullptr,
       [](const LauncherState& s) { EXPECT_EQ(s.Batches.Items[0].day, 40); }},
      {"minute out of range", "", "minute=75\n", "report_1 stupid minute, set to 10",
       [](const LauncherState& s) {
         EXPECT_EQ(s.Reports.Items[0].MinuteValue, 10);
         EXPECT_EQ(s.Reports.Items[0].minute, "75");
       }},
      {"minute not a number", "", "minute=x\n", "report_1 error in minute, set to 10",
       [](const LauncherState& s) { EXPECT_EQ(s.Reports.Items[0].MinuteValue, 10); }},
      {"minute empty", "", "minute=\n", "report_1 error in minute, set to 10",
       [](const LauncherState& s) { EXPECT_EQ(s.Reports.Items[0].minute, ""); }},
      {"minute in hexadecimal", "", "minute=0x1E\n", nullptr,
       [](const LauncherState& s) { EXPECT_EQ(s.Reports.Items[0].MinuteValue, 30); }},
      {"hour out of range", "", "hour=24\n", "report_1 stupid hour, set to 1",
       [](const LauncherState& s) { EXPECT_EQ(s.Reports.Items[0].HourValue, 1); }},
      {"hour below 0", "", "hour=-1\n", "report_1 stupid hour, set to 1",
       [](const LauncherState& s) { EXPECT_EQ(s.Reports.Items[0].HourValue, 1); }},
      {"hour not a number", "", "hour=7h\n", "report_1 error in hour, set to 1",
       [](const LauncherState& s) { EXPECT_EQ(s.Reports.Items[0].HourValue, 1); }},
      {"hour kept", "", "hour=\"23\"\n", nullptr,
       [](const LauncherState& s) { EXPECT_EQ(s.Reports.Items[0].HourValue, 23); }},
      {"length below 0", "", "length=-3\n", "report_1 stupid length, set to 0",
       [](const LauncherState& s) { EXPECT_EQ(s.Reports.Items[0].length, 0); }},
      {"calendar trimmed", "", "day=\" 1-5 \"\nmonth=\"  \"\ntemplate=\" t \"\n", nullptr,
       [](const LauncherState& s) {
         EXPECT_EQ(s.Reports.Items[0].day, "1-5");
         EXPECT_EQ(s.Reports.Items[0].month, "*");
         EXPECT_EQ(s.Reports.Items[0].template_, "t");
       }},
  };
  for (const auto& c : cases) {
    Reading reading;
    reading.Read("[batches]\ncount=1\n[reports]\ncount=1\n" + kOneTask + "[batch_1]\nexename=b.exe\ntaskname=B\n" +
                 c.batchKeys + "[report_1]\n" + c.reportKeys);
    EXPECT_TRUE(reading.state.Settings.IniValid) << c.name;
    const bool warned = reading.LogMentions("stupid") || reading.LogMentions("error in");
    if (c.warning != nullptr) {
      EXPECT_TRUE(reading.Logged(c.warning)) << c.name;
    } else {
      EXPECT_FALSE(warned) << c.name;
    }
    c.check(reading.state);
  }
}

TEST(JobSections, UnquotesNamesThatMayCarryOptions) {
  Reading reading;
  reading.Read(
      "[pumps]\ncount=1\n[pump_1]\nexename=\"C:\\Program Files\\p.exe\" /a\nsource=\"S 1\" x\ntarget=T\n"
      "tagfile=\"f 1\" x\n[tasks]\ncount=1\n[task_1]\nexename=\"t.exe\" /b\ntaskname=\"T\"\"1\" z\n"
      "runningtag=\"TAG 1\" x\n[batches]\ncount=1\n[batch_1]\nexename=\"b.exe\"x\ntaskname=\"B");
  const TPumpa& pump = reading.state.Pumps.Items.at(0);
  EXPECT_EQ(pump.exename, "C:\\Program Files\\p.exe");
  EXPECT_EQ(pump.source, "S 1");
  EXPECT_EQ(pump.tagfile, "\"f 1\" x");
  const TUkol& task = reading.state.Tasks.Items.at(0);
  EXPECT_EQ(task.exename, "t.exe");
  EXPECT_EQ(task.taskname, "T\"1");
  EXPECT_EQ(task.runningtag, "TAG 1");
  const TBec& batch = reading.state.Batches.Items.at(0);
  EXPECT_EQ(batch.exename, "b.exe");
  EXPECT_EQ(batch.taskname, "B");
  EXPECT_TRUE(reading.state.Settings.IniValid);
}

// The schedule keys left out: a pump or a task runs hourly at ten past, a batch daily at ten past
// midnight. The times for other keys are the period rules' tests.
TEST(JobSections, FirstTimesPerKind) {
  const struct {
    const char* name;
    std::string text;
    DateTime now;
    std::function<DateTime(const LauncherState&)> field;
    DateTime expected;
    std::string entry;  // without the time text
  } cases[] = {
      {"pump", kOnePump, MakeDateTime(2026, 12, 7, 0, 30),
       [](const LauncherState& s) { return s.Pumps.Items[0].LastTime; }, MakeDateTime(2026, 12, 7, 0, 10),
       "Last time for pump in pump_1 set to "},
      {"task", kOneTask, MakeDateTime(2026, 12, 7, 10, 7, 30),
       [](const LauncherState& s) { return s.Tasks.Items[0].LastTime; }, MakeDateTime(2026, 12, 7, 8, 0),
       "Last time for task in task_1  set to "},
      {"batch", "[batches]\ncount=1\n[batch_1]\nexename=x\ntaskname=y\n", MakeDateTime(2026, 12, 7, 10, 7, 30),
       [](const LauncherState& s) { return s.Batches.Items[0].LastTime; }, MakeDateTime(2026, 12, 7, 0, 10),
       "Last time for batch_1 set to "},
  };
  for (const auto& c : cases) {
    Reading reading;
    reading.now = c.now;
    reading.Read(c.text);
    EXPECT_EQ(c.field(reading.state), c.expected) << c.name;
    EXPECT_TRUE(reading.Logged(c.entry + DateTimeText(c.expected))) << c.name;
  }
}

TEST(JobSections, NextTimesOfBatchesAndDueTodayOfReports) {
  Reading reading;
  reading.Read(kOneTask +
               "[program]\ndebug=1\n[batches]\ncount=2\n[batch_1]\nexename=x\ntaskname=y\n"
               "[batch_2]\nexename=x\ntaskname=y\ntype=1\nday=1\nphase=360\n"
               "[reports]\ncount=4\n[report_1]\ndayofweek=1\n[report_2]\ndayofweek=2\n[report_3]\nday=-1\n"
               "[report_4]\nday=7\nmonth=12\n");
  const LauncherState& s = reading.state;
  EXPECT_EQ(s.Batches.Items[0].NextTime, MakeDateTime(2026, 12, 8, 0, 10));
  EXPECT_EQ(s.Batches.Items[1].LastTime, MakeDateTime(2026, 12, 7, 6, 0));
  EXPECT_EQ(s.Batches.Items[1].NextTime, MakeDateTime(2026, 12, 14, 6, 0));
  EXPECT_TRUE(reading.Logged("Next time set to " + DateTimeText(MakeDateTime(2026, 12, 14, 6, 0))));
  const std::vector<bool> due{s.Reports.Items[0].DueToday, s.Reports.Items[1].DueToday, s.Reports.Items[2].DueToday,
                              s.Reports.Items[3].DueToday};
  EXPECT_EQ(due, (std::vector<bool>{true, false, false, true}));

  // A report that ran today is armed again; a batch's next time follows its changed schedule.
  reading.state.Reports.Items[0].DueToday = false;
  reading.Read(kOneTask +
               "[batches]\ncount=1\n[batch_1]\nexename=x\ntaskname=y\ntype=2\n[reports]\ncount=1\n"
               "[report_1]\ndayofweek=1\n");
  EXPECT_TRUE(s.Reports.Items[0].DueToday);
  EXPECT_EQ(s.Batches.Items[0].LastTime, MakeDateTime(2026, 12, 7, 0, 10));
  EXPECT_EQ(s.Batches.Items[0].NextTime, MakeDateTime(2027, 1, 1, 0, 10));
}

TEST(JobSections, ResizingKeepsThePositionsThatRemain) {
  const auto pumps = [](int count, const char* exename) {
    std::string text = "[pumps]\ncount=" + std::to_string(count) + "\n";
    for (int n = 1; n <= 3; ++n) {
      text += "[pump_" + std::to_string(n) + "]\nexename=" + exename + "\nsource=S\ntarget=T\ntagfile=f\n";
    }
    return text + "[reports]\ncount=" + std::to_string(count) + "\n";
  };
  Reading reading;
  reading.Read(pumps(2, "a.exe"));
  LauncherState& s = reading.state;
  ASSERT_EQ(s.Pumps.Items.size(), 2u);
  const DateTime kept = MakeDateTime(2026, 12, 7, 8, 10);
  s.Pumps.Items[0].LastTime = kept;
  s.Pumps.Items[1].LastTime = kept;
  s.Reports.Items[1].DueToday = false;

  reading.Read(pumps(3, "b.exe"));
  ASSERT_EQ(s.Pumps.Items.size(), 3u);
  EXPECT_EQ(s.Pumps.count, 3);
  EXPECT_EQ(s.Pumps.Items[0].LastTime, kept);
  EXPECT_EQ(s.Pumps.Items[1].LastTime, kept);
  EXPECT_EQ(s.Pumps.Items[2].LastTime, MakeDateTime(2026, 12, 7, 9, 10));
  EXPECT_EQ(s.Pumps.Items[0].exename, "b.exe");
  EXPECT_TRUE(reading.Logged("Last time for pump in pump_3 set to " + DateTimeText(MakeDateTime(2026, 12, 7, 9, 10))));
  EXPECT_FALSE(reading.LogMentions("pump_1 set to"));
  EXPECT_EQ(s.Reports.Items.size(), 3u);
  EXPECT_TRUE(s.Reports.Items[1].DueToday);

  s.Pumps.Items[2].LastTime = kept;
  reading.Read(pumps(2, "c.exe"));
  ASSERT_EQ(s.Pumps.Items.size(), 2u);
  EXPECT_EQ(s.Reports.Items.size(), 2u);
  reading.Read(pumps(3, "c.exe"));
  EXPECT_EQ(s.Pumps.Items[2].LastTime, MakeDateTime(2026, 12, 7, 9, 10)) << "a dropped position starts afresh";
}

TEST(JobSections, DebugModeLogsEveryValueAsRead) {
  Reading reading;
  reading.Read(
      "[program]\ndebug=1\n"
      "[pumps]\ncount=1\n[pump_1]\nlaunchperiod=15\nphase=5\nexename=\"p.exe\" /a\nsource=S\ntarget=T\n"
      "tagfile=f.txt\n"
      "[batches]\ncount=1\n[batch_1]\nexename=b.exe\ntaskname=B\nexporttohistory=1\n"
      "[tasks]\ncount=1\n[task_1]\nlaunchperiod=15\nphase=5\nexename=t.exe\ntaskname=T\nkordden=1\n"
      "runningtag=\"TAG 1\" x\n"
      "[reports]\ncount=1\nexename=r.exe\n[report_1]\nday=\nmonth=\" 12 \"\ndayofweek=1-5\ntemplate=tmpl\n");
  const std::vector<Entry> expected{
      {true, "Reading ini..."},
      {true, "mode  (0)"},
      {true, "pumps count=1"},
      {true, "pump_1"},
      {true,
       "period 15\r\nphase 5\r\nintervallength 60\r\naveraging -1\r\nreacalculation force 0\r\nexename=\"p.exe\" "
       "/a\r\nsource=S\r\ntarget=T\r\ntagfile=f.txt"},
      {true, "Last time for pump in pump_1 set to " + DateTimeText(MakeDateTime(2026, 12, 7, 9, 50))},
      {true, "batches count=1"},
      {true, "batch_1"},
      {false,
       "type=0\r\nday=1\r\nphase=10\r\nintervallength=60\r\nmargins=1\r\nexename=b.exe\r\ntaskname=B\r\n"
       "exporttohistory=-1\r\nexporttoexternal=0"},
      {true, "Last time for batch_1 set to " + DateTimeText(MakeDateTime(2026, 12, 7, 0, 10))},
      {true, "Next time set to " + DateTimeText(MakeDateTime(2026, 12, 8, 0, 10))},
      {true, "tasks count=1"},
      {true, "task_1"},
      {false,
       "period=15\r\nphase=5\r\nintervallength=60\r\nexename=t.exe\r\ntaskname=T\r\nexporttohistory=0\r\n"
       "exporttoexternal=0\r\nrunningtag=\"TAG 1\" x"},
      {true, "Last time for task in task_1  set to " + DateTimeText(MakeDateTime(2026, 12, 7, 9, 45))},
      {true, "reports count=1\r\nexename=r.exe"},
      {true, "report_1"},
      {false, "minute=10"},
      {false, "hour=1"},
      {false, "day="},
      {false, "month=12"},
      {false, "dayofweek=1-5"},
      {false, "template=tmpl"},
      {false, "length=0"},
      {true, "Tasks in ini O.K."},
  };
  EXPECT_EQ(reading.Entries(), expected);
}

TEST(IniAkceExecute, ReadsTheFileNamedInTheSettings) {
  testutil::TempDir folder;
  Reading reading;
  reading.state.Settings.IniFileName = folder.File("tavrorun.ini");
  testutil::WriteFileBytes(reading.state.Settings.IniFileName, "[program]\r\nmod=kord\r\n" + kOneTask);
  const ReadingContext context{reading.log, reading.now, nullptr};
  IniAkceExecute(reading.state, context);
  EXPECT_TRUE(reading.state.Settings.IniValid);
  EXPECT_EQ(reading.state.Settings.SourceMode, kSourceKord);

  reading.state.Settings.IniFileName = folder.File("missing.ini");
  IniAkceExecute(reading.state, context);
  EXPECT_FALSE(reading.state.Settings.IniValid);
  EXPECT_EQ(reading.Last(), (Entry{true, "In ini found these errors:\r\nNo batch, pump or task found in file " +
                                                   folder.File("missing.ini")}));
  EXPECT_TRUE(reading.state.Tasks.Items.empty());
  EXPECT_FALSE(reading.LogMentions("Cannot read"));  // a missing file is no error of its own

  // Something that is no file in its place reads as a missing one, and the log says why.
  std::filesystem::create_directory(folder.File("folder.ini"));
  reading.state.Settings.IniFileName = folder.File("folder.ini");
  reading.log.entries.clear();
  IniAkceExecute(reading.state, context);
  EXPECT_EQ(reading.Entries().at(1), (Entry{true, "Cannot read " + folder.File("folder.ini") + ": it is a directory"}));
  EXPECT_FALSE(reading.state.Settings.IniValid);
}

// Through the preview's cache a reading takes again the keys found before, only while the file
// stays as it was: a changed file (here its size) is read anew.
TEST(IniAkceExecute, ReadingsThroughTheCacheFollowTheFile) {
  testutil::TempDir folder;
  Reading reading;
  reading.state.Settings.IniFileName = folder.File("tavrorun.ini");
  IniFileCache cache;
  const std::string task = "[tasks]\ncount=1\n[task_1]\ntaskname=T\n";
  for (const auto& [text, exename, phase] : {std::tuple{task + "exename=a.exe\nphase=3\n", "a.exe", 3},
                                             std::tuple{task + "exename=a.exe\nphase=3\n", "a.exe", 3},
                                             std::tuple{task + "phase=4\nexename=bb.exe\n", "bb.exe", 4},
                                             std::tuple{task + "exename=c.exe\n", "c.exe", 10}}) {
    testutil::WriteFileBytes(reading.state.Settings.IniFileName, text);
    IniAkceExecute(reading.state, ReadingContext{reading.log, reading.now, nullptr, &cache});
    EXPECT_EQ(reading.state.Tasks.Items.at(0).exename, exename);
    EXPECT_EQ(reading.state.Tasks.Items.at(0).phase, phase);
  }
}

}  // namespace
}  // namespace tavro
