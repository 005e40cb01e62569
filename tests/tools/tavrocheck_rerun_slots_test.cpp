// The slots a re-run may choose: the same command lines the launcher's own ticks launch, and the
// refusals of a time that is no slot, a slot not yet due, a span without slots or with too many.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/date_time_text.h"
#include "support/process_path.h"
#include "tavrocheck/job_slots.h"
#include "testing/child_process.h"
#include "window/launch_preview.h"

namespace tavro {
namespace {

std::string PreviewIni() { return FolderOf(testutil::TestProgramPath("tavrocheck")) + "/preview.ini"; }

struct Launches final : LaunchObserver {
  void OnLaunch(const LaunchNotice& notice) override { all.push_back(notice); }
  std::vector<LaunchNotice> all;
};

// Ten days of every kind of job, ticked as the launcher ticks: what the re-run builds for the slots
// due in a span is what the ticks launched in it, line for line.
TEST(RerunSlots, BuildTheCommandLinesTheTicksLaunch) {
  Launches launches;
  SimulatedLauncher launcher(PreviewIni(), MakeDateTime(2026, 12, 7, 10, 7, 30), &launches);
  ASSERT_TRUE(launcher.Valid());
  while (launcher.Now() < MakeDateTime(2026, 12, 17)) launcher.Tick();
  // No job is due in the half minute before either end, so a tick's lateness moves no launch across.
  const DateTime from = MakeDateTime(2026, 12, 8, 1, 1, 30);
  const DateTime to = MakeDateTime(2026, 12, 16, 22, 58, 30);
  const LauncherState& state = launcher.State();
  const std::pair<const char*, std::size_t> kinds[] = {{"pump", state.Pumps.Items.size()},
                                                       {"batch", state.Batches.Items.size()},
                                                       {"task", state.Tasks.Items.size()},
                                                       {"report", state.Reports.Items.size()}};
  for (const auto& [kind, count] : kinds) {
    for (int number = 1; number <= static_cast<int>(count); ++number) {
      const JobChoice job{kind, number};
      SCOPED_TRACE(job.kind + " " + std::to_string(number));
      std::vector<std::string> ticked;
      for (const LaunchNotice& launch : launches.all) {
        if (launch.kind == job.kind && launch.number == number && from <= launch.tickTime && launch.tickTime < to) {
          ticked.push_back(launch.commandLine);
        }
      }
      std::vector<std::string> built;
      for (const JobSlot& slot : SlotsBetween(state, job, AddDays(from, -3), AddDays(to, 3))) {
        if (from <= slot.due && slot.due < to) built.push_back(slot.program + " " + slot.arguments);
      }
      EXPECT_EQ(built, ticked);
    }
  }
}

TEST(RerunSlots, RefuseWhatIsNoPastSlotOfTheJob) {
  SimulatedLauncher launcher(PreviewIni(), MakeDateTime(2026, 12, 7, 10, 7, 30));
  const DateTime now = MakeDateTime(2026, 12, 9, 12, 0);
  const auto at = [](int day, int hour, int minute) { return MakeDateTime(2026, 12, day, hour, minute); };
  const struct {
    JobChoice job;
    DateTime at;
    std::optional<DateTime> until;
    SlotVerdict verdict;
    std::size_t slots;
    std::string said;  // the first slot's arguments, or part of the problem
  } cases[] = {
      {{"task", 1}, at(9, 11, 0), {}, SlotVerdict::Accepted, 1, "\"Unit efficiency\" 09.12.2026+11.00 15 -NOH -NOE -KORDD"},
      // Due at 11:50, five minutes past its slot, before the clock's noon.
      {{"task", 1}, at(9, 11, 45), {}, SlotVerdict::Accepted, 1, "09.12.2026+11.45"},
      {{"task", 1}, at(9, 12, 0), {}, SlotVerdict::NotDue, 0, "is not due before " + DateTimeText(at(9, 12, 5))},
      {{"task", 1}, at(9, 11, 7), {}, SlotVerdict::NotASlot, 0,
       "the slot before it is " + DateTimeText(at(9, 11, 0)) + ", the slot after it is " + DateTimeText(at(9, 11, 15))},
      {{"task", 1}, at(9, 10, 0), at(9, 11, 0), SlotVerdict::Accepted, 5, "09.12.2026+10.00"},
      {{"task", 1}, at(9, 11, 30), at(9, 12, 0), SlotVerdict::NotDue, 0, DateTimeText(at(9, 12, 0))},
      {{"task", 1}, at(9, 11, 1), at(9, 11, 14), SlotVerdict::NotASlot, 0, "no slot of task 1 lies from"},
      {{"task", 1}, MakeDateTime(2026, 11, 1), at(9, 0, 0), SlotVerdict::TooMany, 0, "3649 slots of task 1"},
      {{"task", 6}, at(9, 11, 0), {}, SlotVerdict::NoSuchJob, 0, "there is no task 6"},
      {{"pump", 1}, at(9, 11, 0), at(9, 11, 30), SlotVerdict::Accepted, 2, " /A=PUMP /d1=09.12.2026+11:00 /d2="},
      {{"batch", 1}, at(9, 0, 10), {}, SlotVerdict::Accepted, 1, " /A=AC /tn=\"Daily balance\" /d1=08.12.2026+00.00"},
      {{"batch", 1}, at(9, 0, 11), {}, SlotVerdict::NotASlot, 0, "is no slot of batch 1"},
      // Weekdays at noon: Tuesday's ran, Sunday has none; tomorrow's nightly report is to come.
      {{"report", 3}, at(8, 12, 0), {}, SlotVerdict::Accepted, 1, "A:weekday"},
      {{"report", 3}, at(6, 12, 0), {}, SlotVerdict::NotASlot, 0, "is no slot of report 3"},
      {{"report", 1}, at(10, 0, 5), {}, SlotVerdict::NotDue, 0, "is not due"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.job.kind + " " + std::to_string(c.job.number) + " " + IsoDateTimeText(c.at));
    const ChosenSlots chosen = ChooseSlots(launcher.State(), c.job, c.at, c.until, now);
    EXPECT_EQ(chosen.verdict, c.verdict) << chosen.problem;
    ASSERT_EQ(chosen.slots.size(), c.slots) << chosen.problem;
    const std::string said = chosen.slots.empty() ? chosen.problem : chosen.slots.front().arguments;
    EXPECT_NE(said.find(c.said), std::string::npos) << said;
  }
}

}  // namespace
}  // namespace tavro
