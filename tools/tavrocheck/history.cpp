#include "tavrocheck/history.h"

#include <algorithm>
#include <array>
#include <vector>

#include "schedule/history_journal.h"
#include "support/date_time_text.h"
#include "window/missed_slots.h"

namespace tavro {
namespace {

constexpr std::size_t kLocalTimeWidth = 19;  // "YYYY-MM-DDTHH:MM:SS", the local part of a journal time
constexpr std::size_t kBlockBytes = 1 << 16;

// As a journal writes it: the local part of its times sorts as the times do.
std::string JournalTimeText(DateTime local, const TimeZone& zone) { return ZonedTimeText(FirstZonedTimeOf(zone, local)); }

std::string JobText(JobKind kind, int number) { return std::string(JobKindName(kind)) + " " + std::to_string(number); }

std::optional<std::vector<MissedSlot>> MissedOf(const HistoryRequest& request) {
  std::optional<std::vector<MissedSlot>> listed = ListMissedSlots(request.iniFile, request.since, request.until);
  if (!listed) return listed;
  std::vector<MissedSlot>& missed = *listed;
  if (request.job) {
    std::erase_if(missed, [&request](const MissedSlot& slot) {
      return JobKindName(slot.kind) != request.job->kind || slot.number != request.job->number;
    });
  }
  std::stable_sort(missed.begin(), missed.end(),
                   [](const MissedSlot& a, const MissedSlot& b) { return a.slot < b.slot; });
  return listed;
}

// The outcome column of a journal line.
void AppendOutcome(std::string& out, const HistoryFields& fields) {
  const std::string_view event = fields[1], until = fields[4], detail = fields[5];
  const auto is = [&event](HistoryEvent e) { return event == HistoryEventName(e); };
  const auto inParentheses = [&out, &detail] {
    if (!detail.empty()) out.append(" (").append(detail).append(")");
  };
  if (is(HistoryEvent::LaunchFailed)) {
    out.append("launch failed, return value ").append(detail);
  } else if (is(HistoryEvent::Held)) {
    out.append("held by value of ").append(detail);
  } else if (is(HistoryEvent::SourceFailed)) {
    out.append("held because the source failed: ").append(detail);
  } else if (is(HistoryEvent::ReadAgain)) {
    out.append("read failed, read again at each tick until ").append(until).append(": ").append(detail);
  } else if (is(HistoryEvent::Passed)) {
    out.append("passed over to ").append(until).append(": ").append(detail);
  } else if (is(HistoryEvent::RunEnded)) {
    out.append("run ended ").append(detail);
  } else if (is(HistoryEvent::NotRunning)) {
    out.append("not running to ").append(until);
    inParentheses();
  } else if (fields[2].empty()) {
    out.append("launcher ").append(event);
    inParentheses();
  } else {
    out.append(event);
  }
}

void Flush(std::ostream& out, std::string& block, bool always = false) {
  if (!always && block.size() < kBlockBytes) return;
  out << block;
  block.clear();
}

}  // namespace

bool PrintHistory(const HistoryRequest& request, std::ostream& out) {
  const SystemTimeZone zone;
  // The journal's own lines are worth reading even when the missed slots cannot be told.
  const std::optional<std::vector<MissedSlot>> listed = MissedOf(request);
  const std::vector<MissedSlot> missed = listed.value_or(std::vector<MissedSlot>{});
  std::vector<std::string> missedTimes;
  for (const MissedSlot& slot : missed) missedTimes.push_back(JournalTimeText(slot.slot, zone));
  std::size_t next = 0;  // the first missed slot not yet printed
  std::string block;
  const auto printMissedBefore = [&](std::string_view time) {
    for (; next < missed.size(); ++next) {
      const MissedSlot& slot = missed[next];
      const std::string& missedTime = missedTimes[next];
      if (!(missedTime.compare(0, kLocalTimeWidth, time.substr(0, kLocalTimeWidth)) < 0)) return;
      block.append(missedTime).append(1, '\t').append(JobText(slot.kind, slot.number)).append(1, '\t');
      block.append(missedTime).append("\tmissed: ").append(slot.why).append(1, '\t').append(slot.commandLine);
      block += '\n';
      Flush(out, block);
    }
  };
  std::string since = IsoDateTimeText(request.since), until = IsoDateTimeText(request.until);
  since[10] = until[10] = 'T';
  const std::string job = request.job ? request.job->kind + " " + std::to_string(request.job->number) : "";
  ForEachHistoryLine(request.iniFile, request.since, request.until, [&](std::string_view line) {
    HistoryFields fields;
    if (!SplitHistoryLine(line, fields) || fields[0].size() < kLocalTimeWidth) return;
    const std::string_view time = fields[0].substr(0, kLocalTimeWidth);
    if (time < since || until < time) return;
    if (!job.empty() && !fields[2].empty() && fields[2] != job) return;
    printMissedBefore(time);
    block.append(fields[0]).append(1, '\t');
    if (fields[2].empty()) {
      block.append("launcher");
    } else {
      block.append(fields[2]);
    }
    block.append(1, '\t').append(fields[3]).append(1, '\t');
    AppendOutcome(block, fields);
    block.append(1, '\t').append(fields[6]) += '\n';
    Flush(out, block);
  });
  printMissedBefore("9999");
  Flush(out, block, true);
  out.flush();
  return listed.has_value();
}

bool PrintMissed(const HistoryRequest& request, std::ostream& out) {
  const SystemTimeZone zone;
  const std::optional<std::vector<MissedSlot>> listed = MissedOf(request);
  if (!listed) return false;
  const std::vector<MissedSlot>& missed = *listed;
  std::string block;
  for (const MissedSlot& slot : missed) {
    block.append(JournalTimeText(slot.slot, zone)).append(1, '\t').append(JobText(slot.kind, slot.number));
    block.append("\tmissed: ").append(slot.why).append(1, '\t').append(slot.commandLine) += '\n';
    Flush(out, block);
  }
  block.append("# ").append(std::to_string(missed.size())).append(missed.size() == 1 ? " missed slot" : " missed slots");
  block.append(" from ").append(JournalTimeText(request.since, zone)).append(" to ");
  block.append(JournalTimeText(request.until, zone)) += '\n';
  Flush(out, block, true);
  out.flush();
  return true;
}

}  // namespace tavro
