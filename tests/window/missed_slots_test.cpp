#include "window/missed_slots.h"

#include <gtest/gtest.h>

#include "support/date_time_text.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

DateTime At(int hour, int minute) { return MakeDateTime(2026, 12, 7, hour, minute, 0); }

HistoryLine Line(HistoryEvent event, DateTime time, const char* detail, DateTime from = {}, DateTime to = {}) {
  HistoryLine line{{time, 60}, event, JobKind::Pump, 0, {}, {}, detail, ""};
  if (IsSet(from)) line.slot = ZonedTime{from, 60};
  if (IsSet(to)) line.until = ZonedTime{to, 60};
  return line;
}

// The launcher's own lines make the spans without launches: a stop lasts to the next start or end,
// a start after no launcher ran says how long that was, and a stop in force at the end lasts to it.
// In them the plan gives every slot a running launcher would have launched; a catch-up launched some.
TEST(MissedSlots, SpansFromTheJournalAndTheSlotsNoLaterLineLaunched) {
  DownSpans down;
  for (const HistoryLine& line : {
           Line(HistoryEvent::Stopped, At(0, 0), "not started"),
           Line(HistoryEvent::Started, At(0, 0), ""),
           Line(HistoryEvent::NotRunning, At(3, 0), "killed", At(2, 0), At(3, 0)),
           Line(HistoryEvent::Stopped, At(5, 0), "Stop command"),
           Line(HistoryEvent::Stopped, At(5, 10), "errors in ini"),  // while stopped: the first stop holds
           Line(HistoryEvent::Started, At(5, 20), ""),
           Line(HistoryEvent::Stopped, At(7, 0), "errors in ini"),
           Line(HistoryEvent::Ended, At(7, 30), "Exit command"),
           Line(HistoryEvent::NotRunning, At(8, 0), "Exit command", At(7, 30), At(8, 0)),
           Line(HistoryEvent::Stopped, At(8, 0), "not started"),
       }) {
    down.Take(line);
  }
  std::vector<DownSpan> spans = down.End(At(9, 0));
  std::vector<std::string> texts;
  for (const DownSpan& span : spans) texts.push_back(DateTimeText(span.from) + " " + DateTimeText(span.to) + " " + span.why);
  EXPECT_EQ(texts, (std::vector<std::string>{
                       DateTimeText(At(2, 0)) + " " + DateTimeText(At(3, 0)) + " no launcher ran (killed)",
                       DateTimeText(At(5, 0)) + " " + DateTimeText(At(5, 20)) + " the launcher was stopped (Stop command)",
                       DateTimeText(At(7, 0)) + " " + DateTimeText(At(7, 30)) + " the launcher was stopped (errors in ini)",
                       DateTimeText(At(7, 30)) + " " + DateTimeText(At(8, 0)) + " no launcher ran (Exit command)",
                       DateTimeText(At(8, 0)) + " " + DateTimeText(At(9, 0)) + " the launcher was stopped (not started)",
                   }));

  const testutil::TempDir dir;
  const std::string ini = dir.File("tavrorun.ini");
  testutil::WriteFileBytes(ini, "[tasks]\ncount=1\n[task_1]\nlaunchperiod=15\nphase=5\nintervallength=15\n"
                                "exename=/opt/tavro/task\ntaskname=Balance\n");
  spans.resize(2);
  std::vector<MissedSlot> missed = SlotsInSpans(ini, spans).value();
  // After the restart at 03:00 a catch-up launched 02:00 and held 02:15 by its gate; a launch of
  // another job at 02:30 is no launch of this one.
  std::vector<SlotKey> decided;
  for (const auto& [event, kind, slot] : {std::tuple{HistoryEvent::Launched, JobKind::Task, At(2, 0)},
                                          {HistoryEvent::Held, JobKind::Task, At(2, 15)},
                                          {HistoryEvent::Launched, JobKind::Pump, At(2, 30)},
                                          {HistoryEvent::RunEnded, JobKind::Task, At(2, 45)}}) {
    HistoryLine line = Line(event, At(3, 1), "");
    line.kind = kind;
    line.number = 1;
    line.slot = ZonedTime{slot, 60};
    if (const std::optional<SlotKey> key = DecidedSlot(line)) decided.push_back(*key);
  }
  DropDecided(missed, decided);
  texts.clear();
  for (const MissedSlot& slot : missed) {
    texts.push_back(std::string(JobKindName(slot.kind)) + " " + std::to_string(slot.number) + " " +
                    DateTimeText(slot.slot) + " " + slot.commandLine + " " + slot.why);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "task 1 " + DateTimeText(At(2, 30)) + " /opt/tavro/task Balance 07.12.2026+02.30 15 -NOH -NOE " +
                           "no launcher ran (killed)",
                       "task 1 " + DateTimeText(At(2, 45)) + " /opt/tavro/task Balance 07.12.2026+02.45 15 -NOH -NOE " +
                           "no launcher ran (killed)",
                       "task 1 " + DateTimeText(At(5, 0)) + " /opt/tavro/task Balance 07.12.2026+05.00 15 -NOH -NOE " +
                           "the launcher was stopped (Stop command)",
                   }));
}

}  // namespace
}  // namespace tavro
