#include "window/missed_slots.h"

#include <algorithm>
#include <cstring>

#include "schedule/history_journal.h"
#include "window/launch_preview.h"

namespace tavro {
namespace {

// The launches of the preview whose tick fell in the span: a slot due before its end whose tick
// came after it is launched by the first tick of the launcher that follows. The preview starts a
// minute before the span, so that what a fresh start launches at its first tick stays out.
class SpanLaunches final : public LaunchObserver {
 public:
  SpanLaunches(const DownSpan& span, std::vector<MissedSlot>& slots) : span_(span), slots_(slots) {}
  void OnLaunch(const LaunchNotice& notice) override {
    if (!(span_.from < notice.tickTime) || span_.to < notice.tickTime) return;
    std::size_t k = 0;
    while (k + 1 < kJobKindNames.size() && std::strcmp(notice.kind, kJobKindNames[k]) != 0) ++k;
    slots_.push_back({static_cast<JobKind>(k), notice.number, notice.slot, notice.commandLine, span_.why});
  }

 private:
  const DownSpan& span_;
  std::vector<MissedSlot>& slots_;
};

}  // namespace

void DownSpans::Take(const HistoryLine& line) {
  switch (line.event) {
    case HistoryEvent::Stopped:
      if (stopped_) break;
      stopped_ = true;
      open_ = {line.time.local, {}, "the launcher was stopped (" + line.detail + ")"};
      break;
    case HistoryEvent::Started:
    case HistoryEvent::Ended:
      Close(line.time.local);
      break;
    case HistoryEvent::NotRunning:
      if (!line.slot || !line.until) break;
      Close(line.slot->local);
      spans_.push_back({line.slot->local, line.until->local, "no launcher ran (" + line.detail + ")"});
      break;
    default:
      break;
  }
}

void DownSpans::Close(DateTime at) {
  if (!stopped_) return;
  stopped_ = false;
  open_.to = at;
  if (open_.from < open_.to) spans_.push_back(std::move(open_));
}

std::vector<DownSpan> DownSpans::End(DateTime end) {
  Close(end);
  return std::move(spans_);
}

std::optional<std::vector<MissedSlot>> SlotsInSpans(const std::string& iniFile, const std::vector<DownSpan>& spans) {
  std::vector<MissedSlot> slots;
  for (const DownSpan& span : spans) {
    SpanLaunches launches(span, slots);
    SimulatedLauncher launcher(iniFile, AddMinutes(span.from, -1), &launches);
    // Today's file is the only plan of those spans there is; one with errors plans nothing.
    if (!launcher.Valid()) return std::nullopt;
    while (!(span.to < launcher.Now())) launcher.Tick();
  }
  return slots;
}

bool DecidesSlot(HistoryEvent event) {
  return event == HistoryEvent::Launched || event == HistoryEvent::LaunchFailed || event == HistoryEvent::Held ||
         event == HistoryEvent::SourceFailed;
}

std::optional<SlotKey> DecidedSlot(const HistoryLine& line) {
  if (!DecidesSlot(line.event) || line.number == 0 || !line.slot) return std::nullopt;
  return SlotKey{line.kind, line.number, line.slot->local};
}

void DropDecided(std::vector<MissedSlot>& slots, std::vector<SlotKey> decided) {
  std::sort(decided.begin(), decided.end());
  std::erase_if(slots, [&decided](const MissedSlot& slot) {
    return std::binary_search(decided.begin(), decided.end(), SlotKey{slot.kind, slot.number, slot.slot});
  });
}

std::optional<std::vector<MissedSlot>> ListMissedSlots(const std::string& iniFile, DateTime since, DateTime until) {
  // A stop of the day before may reach into the span.
  const DateTime first = AddDays(since, -1);
  DownSpans down;
  ForEachHistoryLine(iniFile, first, until, [&down](std::string_view text) {
    HistoryFields fields;
    // The launcher's own lines have no job; the others need not be read to the end.
    if (!SplitHistoryLine(text, fields) || !fields[2].empty()) return;
    if (const std::optional<HistoryLine> line = ParseHistoryLine(text)) down.Take(*line);
  });
  std::vector<DownSpan> spans = down.End(until);
  std::erase_if(spans, [&](DownSpan& span) {
    span.from = std::max(span.from, since);
    span.to = std::min(span.to, until);
    return !(span.from < span.to);
  });
  std::optional<std::vector<MissedSlot>> slots = SlotsInSpans(iniFile, spans);
  if (!slots || slots->empty()) return slots;
  std::vector<SlotKey> decided;
  ForEachHistoryLine(iniFile, since, AddDays(until, kHistoryDays), [&decided](std::string_view text) {
    HistoryFields fields;
    if (!SplitHistoryLine(text, fields) || fields[2].empty() || fields[3].empty()) return;
    if (const std::optional<HistoryLine> line = ParseHistoryLine(text)) {
      if (const std::optional<SlotKey> key = DecidedSlot(*line)) decided.push_back(*key);
    }
  });
  DropDecided(*slots, std::move(decided));
  return slots;
}

}  // namespace tavro
