#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>

#include "sources/open_gates.h"
#include "support/date_time_text.h"
#include "support/simulated_clock.h"
#include "testing/european_zone.h"
#include "testing/recording_log.h"
#include "testing/recording_starter.h"
#include "testing/temp_dir.h"
#include "window/control_window.h"

namespace tavro {
namespace {

// Pumps of 15/5 and 60/0; tasks of 15, 60 and 90 minutes; batches at 01:30 and 02:30; reports at
// 00:05, 01:30, 02:30 and 03:00.
const char* const kJobs =
    "[program]\r\nmod=kord\r\n[pumps]\r\ncount=2\r\n"
    "[pump_1]\r\nlaunchperiod=15\r\nphase=5\r\nexename=/j/pump\r\nsource=S\r\ntarget=T\r\ntagfile=f\r\n"
    "[pump_2]\r\nlaunchperiod=60\r\nphase=0\r\nexename=/j/pump\r\nsource=S\r\ntarget=T\r\ntagfile=f\r\n"
    "[tasks]\r\ncount=3\r\n"
    "[task_1]\r\nlaunchperiod=15\r\nphase=0\r\nintervallength=15\r\nexename=/j/task\r\ntaskname=t\r\n"
    "[task_2]\r\nlaunchperiod=60\r\nphase=0\r\nintervallength=60\r\nexename=/j/task\r\ntaskname=t\r\n"
    "[task_3]\r\nlaunchperiod=90\r\nphase=10\r\nintervallength=60\r\nexename=/j/task\r\ntaskname=t\r\n"
    "[batches]\r\ncount=2\r\n[batch_1]\r\ntype=0\r\nphase=90\r\nexename=/j/batch\r\ntaskname=b\r\n"
    "[batch_2]\r\ntype=0\r\nphase=150\r\nexename=/j/batch\r\ntaskname=b\r\n"
    "[reports]\r\ncount=4\r\nexename=/j/report\r\n"
    "[report_1]\r\nhour=0\r\nminute=5\r\ntemplate=r\r\n[report_2]\r\nhour=1\r\nminute=30\r\ntemplate=r\r\n"
    "[report_3]\r\nhour=2\r\nminute=30\r\ntemplate=r\r\n[report_4]\r\nhour=3\r\nminute=0\r\ntemplate=r\r\n";

struct Launch {
  std::int64_t steadyMs;  // real time passed
  DateTime local;
  std::string job;      // "pump 1"
  std::string command;
};

struct Launches final : LaunchObserver {
  explicit Launches(Clock& clock) : clock(clock) {}
  void OnLaunch(const LaunchNotice& notice) override {
    all.push_back({clock.SteadyMs(), notice.tickTime, std::string(notice.kind) + " " + std::to_string(notice.number),
                   notice.commandLine});
  }
  void OnClockChange(const ClockChange&) override { ++changes; }
  Clock& clock;
  std::vector<Launch> all;
  int changes = 0;
};

// The slot time a pump's or task's command line names.
std::optional<DateTime> SlotOf(const std::string& command) {
  static const std::regex slot(R"((\d\d)\.(\d\d)\.(\d{4})\+(\d\d)[.:](\d\d))");
  std::smatch m;
  if (!std::regex_search(command, m, slot)) return std::nullopt;
  return MakeDateTime(std::stoi(m[3]), std::stoi(m[2]), std::stoi(m[1]), std::stoi(m[4]), std::stoi(m[5]));
}

// Four hours of a launcher started with -A under daylight saving and with its wall clock stepped, as
// NTP or an operator does (the steady clock runs on). Whatever the clock does, no slot runs twice, no
// program is given a local time that does not exist, a report runs at most once a date, no job is
// silent for longer than its period and the step back, every hour is read, and the change is
// logged once.
TEST(ClockChanges, EverySlotOnceWhateverTheClockDoes) {
  const struct {
    const char* name;
    DateTime start;
    DateTime stepAt;      // local time of the tick after which the clock moves
    std::int64_t stepMs;  // the wall clock's step; 0: a tick held up by 30 s instead
    std::int64_t silence;  // the longest a job may be silent beyond its period, in minutes (a pump
                           // realigned to a tick after a jump forward waits for its phase too)
    int reports;          // report launches
  } cases[] = {
      {"set back 5 min at 03:02", MakeDateTime(2026, 12, 7, 1, 0), MakeDateTime(2026, 12, 7, 3, 2), -5 * kMsPerMinute, 5, 3},
      {"set back 70 min", MakeDateTime(2026, 12, 7, 1, 0), MakeDateTime(2026, 12, 7, 3, 5), -70 * kMsPerMinute, 70, 3},
      {"set back a day", MakeDateTime(2026, 12, 7, 1, 0), MakeDateTime(2026, 12, 7, 3, 0, 30), -kMsPerDay, 5, 4},
      {"set forward 2 min at 02:59", MakeDateTime(2026, 12, 7, 1, 0), MakeDateTime(2026, 12, 7, 2, 59), 2 * kMsPerMinute, 0, 3},
      {"set forward a day", MakeDateTime(2026, 12, 7, 1, 0), MakeDateTime(2026, 12, 7, 3, 0, 30), kMsPerDay, 5, 4},
      {"daylight saving begins", MakeDateTime(2027, 3, 28, 0, 0), DateTime{}, 0, 0, 4},
      {"daylight saving ends", MakeDateTime(2026, 10, 25, 0, 0), DateTime{}, 0, 60, 4},
      {"a tick held up before the hour", MakeDateTime(2026, 12, 7, 1, 0), MakeDateTime(2026, 12, 7, 2, 59, 55), 0, 1, 3},
      {"a tick held up before midnight", MakeDateTime(2026, 12, 6, 23, 0), MakeDateTime(2026, 12, 6, 23, 59, 55), 0, 1, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testutil::TempDir dir;
    testutil::WriteFileBytes(dir.File("tavrorun.ini"), kJobs);
    testutil::EuropeanZone zone;
    SimulatedClock clock(c.start, &zone);
    LauncherState state;
    testutil::RecordingLog log;
    testutil::RecordingStarter starter;
    OpenGates sources;
    Launches launches(clock);
    ControlWindow window({.state = state, .log = log, .clock = clock, .starter = starter, .sources = sources,
                          .observer = &launches},
                         {"-A"}, false);
    window.FormCreate(dir.File("tavrorun"));
    window.FormActivate();
    ASSERT_TRUE(window.Running());
    const std::int64_t end = clock.SteadyMs() + 5 * kMsPerHour;  // five hours of real time
    bool stepped = false;
    std::set<std::string> unreadHours;
    while (clock.SteadyMs() < end) {
      clock.Advance(kTimerIntervalMs);
      window.timrTimer();
      const ZonedTime tick = state.LastTick->wall;
      const auto hourKey = [](const ZonedTime& t) {
        return IsoDateTimeText(t.local).substr(0, 13) + "/" + std::to_string(t.offsetMinutes);
      };
      if (!state.Status.lastReading || hourKey(*state.Status.lastReading) != hourKey(tick)) unreadHours.insert(hourKey(tick));
      if (!stepped && IsSet(c.stepAt) && !(tick.local < c.stepAt)) {
        stepped = true;
        if (c.stepMs != 0) {
          clock.Step(c.stepMs);
        } else {
          clock.Advance(30 * kMsPerSecond);
        }
      }
    }
    std::map<std::string, std::set<std::int64_t>> slots;
    std::map<std::string, std::int64_t> last;
    std::map<std::string, int> reports;
    const std::map<std::string, std::int64_t> periods = {{"pump 1", 15}, {"pump 2", 60}, {"task 1", 15},
                                                         {"task 2", 60}, {"task 3", 90}};
    int reportLaunches = 0;
    for (const Launch& launch : launches.all) {
      if (launch.job.starts_with("report")) {
        ++reportLaunches;
        EXPECT_EQ(++reports[launch.job + " " + IsoDateTimeText(launch.local, false)], 1) << launch.job;
        continue;
      }
      if (launch.job.starts_with("batch")) continue;
      const std::optional<DateTime> slot = SlotOf(launch.command);
      ASSERT_TRUE(slot) << launch.command;
      EXPECT_TRUE(LocalTimeExists(zone, *slot)) << launch.command;
      EXPECT_TRUE(slots[launch.job].insert(slot->ms).second) << "twice: " << launch.command;
      if (last.count(launch.job) > 0) {
        const std::int64_t silent = (launch.steadyMs - last[launch.job]) / kMsPerMinute;
        EXPECT_LE(silent, periods.at(launch.job) + c.silence + 1) << launch.job << " before " << launch.command;
      }
      last[launch.job] = launch.steadyMs;
    }
    for (const auto& [job, period] : periods) {
      EXPECT_LE((clock.SteadyMs() - last[job]) / kMsPerMinute, period + c.silence + 1) << job << " silent at the end";
    }
    EXPECT_EQ(reportLaunches, c.reports);
    EXPECT_TRUE(unreadHours.empty()) << *unreadHours.begin();
    EXPECT_EQ(launches.changes, c.stepMs != 0 || !IsSet(c.stepAt) ? 1 : 0);
    EXPECT_EQ(std::count_if(log.entries.begin(), log.entries.end(),
                            [](const auto& entry) { return entry.message.starts_with("The clock moved from"); }),
              launches.changes);
  }
}

}  // namespace
}  // namespace tavro
