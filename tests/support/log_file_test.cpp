#include "support/log_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <vector>

#include "support/date_time_text.h"
#include "support/simulated_clock.h"
#include "testing/child_process.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

using testutil::ReadFileBytes;
using testutil::TempDir;
using testutil::WriteFileBytes;

std::string Stamp(int hour, int minute, int second) {
  const std::string sep(1, TimeSeparator());
  auto two = [](int n) { return std::string(1, char('0' + n / 10)) + char('0' + n % 10); };
  return "2026.12.07 " + two(hour) + sep + two(minute) + sep + two(second);
}

// The executable's extension gives way as ReplaceExtension's test says.
TEST(LogFile, NameFollowsTheDayOfTheMonth) {
  const std::pair<DateTime, const char*> cases[] = {
      {MakeDateTime(2026, 12, 1), "/opt/launch/tavrorun.001.txt"},
      {MakeDateTime(2026, 12, 7, 10, 5), "/opt/launch/tavrorun.007.txt"},
      {MakeDateTime(2027, 2, 25), "/opt/launch/tavrorun.025.txt"},
      {MakeDateTime(2026, 12, 31, 23, 59, 59), "/opt/launch/tavrorun.031.txt"},
  };
  for (const auto& [date, name] : cases) EXPECT_EQ(LogFileNameFor("/opt/launch/tavrorun.exe", date), name);
}

TEST(LogFile, EntryLayoutByteForByte) {
  struct Case {
    std::string message;
    bool stamped;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"Starting program...", true, Stamp(4, 25, 0) + "\tStarting program...\r\n"},
      {"Starting program...", false, "Starting program...\r\n"},
      {"", true, Stamp(4, 25, 0) + "\t\r\n"},
      {"", false, "\r\n"},
      {"In ini found these errors:\r\nfirst\r\nsecond", true,
       Stamp(4, 25, 0) + "\tIn ini found these errors:\r\nfirst\r\nsecond\r\n"},
      // Bytes of the single-byte code page, control characters and NUL pass untouched.
      {std::string("caf\xE9\t\"x\"\n\0", 10), false, std::string("caf\xE9\t\"x\"\n\0\r\n", 12)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_EQ(FormatLogEntry(c.message, c.stamped, MakeDateTime(2026, 12, 7, 4, 25, 0, 900)), c.expected);
  }
}

TEST(LogFile, UnwritablePlacesDropTheEntrySilently) {
  TempDir dir;
  const std::string missingFolder = dir.File("missing") + "/tavrorun.007.txt";
  EXPECT_FALSE(AppendToLogFile(missingFolder, "lost\r\n"));
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));

  const std::string readOnly = dir.File("tavrorun.007.txt");
  WriteFileBytes(readOnly, "old\r\n");
  namespace fs = std::filesystem;
  fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read,
                  fs::perm_options::replace);
  EXPECT_FALSE(AppendToLogFile(readOnly, "lost\r\n"));
  EXPECT_EQ(ReadFileBytes(readOnly), "old\r\n");
}

TEST(LogFile, DailyLogFileStampsWithItsClock) {
  TempDir dir;
  SimulatedClock clock(MakeDateTime(2026, 12, 7, 4, 25));
  DailyLogFile log(dir.File("tavrorun.exe"), clock);
  EXPECT_EQ(log.LogFileName(), dir.File("tavrorun.007.txt"));
  log.Entry("Starting program...");
  log.Write("detail", false);
  EXPECT_EQ(ReadFileBytes(dir.File("tavrorun.007.txt")),
            Stamp(4, 25, 0) + "\tStarting program...\r\ndetail\r\n");

  log.FollowDate(MakeDateTime(2026, 12, 8, 0, 0, 30), true);
  EXPECT_EQ(log.LogFileName(), dir.File("tavrorun.008.txt"));
}

// The stale file of a day number goes at the first tick of a new date, before its first entry; no
// entry of the current date is ever lost to it, nor one written since yesterday (a clock set back).
TEST(LogFile, DailyLogFileClearsTheStaleFileOnANewDate) {
  namespace fs = std::filesystem;
  enum Action { kNewDate, kTick, kWrite, kOtherWriter };
  struct Step {
    Action action;
    DateTime at;
    std::string message;
  };
  struct Scenario {
    const char* name;
    DateTime start;
    std::vector<Step> steps;
    std::string expected007;
    std::string expected006;
  };
  const DateTime eve = MakeDateTime(2026, 12, 6, 23, 59, 55);
  auto at = [](int second) { return MakeDateTime(2026, 12, 7, 0, 0, second); };
  const std::vector<Scenario> scenarios = {
      {"the first tick of a new date clears", eve, {{kNewDate, at(3), ""}, {kWrite, at(3), "first"}}, "first\r\n", ""},
      {"a later tick of the date clears nothing",
       eve,
       {{kNewDate, at(0), ""}, {kWrite, at(0), "first"}, {kTick, at(10), ""}, {kWrite, at(10), "second"}},
       "first\r\nsecond\r\n",
       ""},
      {"a tick that came late clears as well", eve, {{kNewDate, at(25), ""}, {kWrite, at(25), "first"}}, "first\r\n", ""},
      {"an entry written before the first tick survives",
       at(1),
       {{kWrite, at(1), "Starting program..."}, {kNewDate, at(5), ""}},
       "stale\r\nStarting program...\r\n",
       ""},
      {"an entry still in yesterday's file does not keep the stale one",
       eve,
       {{kWrite, at(1), "late"}, {kNewDate, at(6), ""}, {kWrite, at(6), "first"}},
       "first\r\n",
       "late\r\n"},
      {"cleared once even when another writer adds to the new file",
       eve,
       {{kNewDate, at(2), ""}, {kOtherWriter, at(4), "other"}, {kTick, at(8), ""}},
       "other\r\n",
       ""},
      {"the same day number a month later is cleared again",
       MakeDateTime(2026, 11, 7, 10),
       {{kWrite, MakeDateTime(2026, 11, 7, 10), "november"}, {kNewDate, at(4), ""}, {kWrite, at(4), "december"}},
       "december\r\n",
       ""},
      {"a file written since yesterday stays when the clock is set back a day",
       MakeDateTime(2026, 12, 7, 10),
       {{kWrite, MakeDateTime(2026, 12, 7, 10), "seventh"},
        {kNewDate, MakeDateTime(2026, 12, 8, 0, 0, 5), ""},
        {kNewDate, at(10), ""},
        {kWrite, at(10), "again"}},
       "stale\r\nseventh\r\nagain\r\n",
       ""},
  };
  for (const Scenario& scenario : scenarios) {
    SCOPED_TRACE(scenario.name);
    TempDir dir;
    const std::string day7 = dir.File("tavrorun.007.txt");
    SimulatedClock clock(scenario.start);
    // Files carry the simulated clock's times, as they would the system's.
    const auto written = [&clock](const std::string& file) {
      const auto real = std::chrono::duration_cast<std::chrono::milliseconds>(
          std::chrono::system_clock::now().time_since_epoch());
      fs::last_write_time(file, fs::file_time_type::clock::now() +
                                    (std::chrono::milliseconds(clock.InstantNow()) - real));
    };
    WriteFileBytes(day7, "stale\r\n");
    clock.Set(MakeDateTime(2026, 11, 7, 9));
    written(day7);
    clock.Set(scenario.start);
    DailyLogFile log(dir.File("tavrorun.exe"), clock);
    for (const Step& step : scenario.steps) {
      clock.Set(step.at);
      switch (step.action) {
        case kNewDate:
        case kTick:
          log.FollowDate(step.at, step.action == kNewDate);
          break;
        case kWrite:
          log.Write(step.message, false);
          if (fs::exists(log.LogFileName())) written(log.LogFileName());
          break;
        case kOtherWriter:
          AppendToLogFile(day7, step.message + "\r\n");
          written(day7);
          break;
      }
    }
    EXPECT_EQ(ReadFileBytes(day7), scenario.expected007);
    EXPECT_EQ(ReadFileBytes(dir.File("tavrorun.006.txt")), scenario.expected006);
  }
}

TEST(LogFile, StreamSinkUsesTheFileLayout) {
  SimulatedClock clock(MakeDateTime(2026, 12, 7, 4, 25));
  std::ostringstream out;
  StreamLogSink sink(out, clock);
  sink.Entry("In ini found these errors:");
  sink.Write("missing key", false);
  EXPECT_EQ(out.str(), Stamp(4, 25, 0) + "\tIn ini found these errors:\r\nmissing key\r\n");
}

TEST(LogFile, TwoProcessesWritingAtOnceKeepEveryEntryWhole) {
  constexpr int kCount = 1000;
  TempDir dir;
  const std::string file = dir.File("tavrorun.007.txt");
  const std::string writer = testutil::TestProgramPath("logwriter");
  testutil::ChildProcess first(writer, {file, "first", std::to_string(kCount)});
  testutil::ChildProcess second(writer, {file, "second", std::to_string(kCount)});
  ASSERT_TRUE(first.Started() && second.Started()) << writer;
  ASSERT_EQ(first.Wait(), 0);
  ASSERT_EQ(second.Wait(), 0);

  // Each writer's entries appear whole and in its own order, interleaved with the other's.
  const std::string content = ReadFileBytes(file);
  int next[2] = {0, 0};
  std::size_t pos = 0;
  while (pos < content.size()) {
    const std::size_t end = content.find("\r\n", pos);
    ASSERT_NE(end, std::string::npos) << "cut entry at byte " << pos;
    const std::string line = content.substr(pos, end - pos);
    pos = end + 2;
    constexpr std::size_t kStampLength = 19;
    ASSERT_GT(line.size(), kStampLength);
    ASSERT_EQ(line[kStampLength], '\t') << line;
    const std::string text = line.substr(kStampLength + 1);
    const int which = text.rfind("first ", 0) == 0 ? 0 : 1;
    ASSERT_EQ(text, (which == 0 ? "first " : "second ") + std::to_string(next[which])) << line;
    ++next[which];
  }
  EXPECT_EQ(next[0], kCount);
  EXPECT_EQ(next[1], kCount);
}

}  // namespace
}  // namespace tavro
