#pragma once
// The slots that were missed because no launcher launched them: the launcher was stopped, or none
// ran. The journal (schedule/history_journal.h) tells when that was; the preview's engine, started
// at each such span's beginning with the configuration as it is now, tells which slots a running
// launcher would have launched in it and with which command lines. A slot that a later line of the
// journal decided (a catch-up launched it, or a gate held it) was not missed.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jobs/history_line.h"

namespace tavro {

struct DownSpan {
  DateTime from, to;  // local times
  std::string why;    // "the launcher was stopped (Stop command)", "no launcher ran (killed)"
};

struct MissedSlot {
  JobKind kind = JobKind::Pump;
  int number = 0;
  DateTime slot;            // as the launch's slot (see LaunchNotice)
  std::string commandLine;  // as it would have been started
  std::string why;          // the span's
};

// Follows the journal's lines of the launcher itself (Started, Stopped, Ended, NotRunning), in
// order, and gives the spans without launches; a stop still in force at the end lasts to `end`.
class DownSpans {
 public:
  void Take(const HistoryLine& line);
  std::vector<DownSpan> End(DateTime end);

 private:
  void Close(DateTime at);

  std::vector<DownSpan> spans_;
  bool stopped_ = false;
  DownSpan open_;
};

// The slots a running launcher would have launched in `spans`, oldest first within each span; none
// at all when there are spans and the file has errors, as then it cannot tell.
std::optional<std::vector<MissedSlot>> SlotsInSpans(const std::string& iniFile, const std::vector<DownSpan>& spans);

// A slot a journal line says what became of (launched, launch failed, held): none for other lines.
struct SlotKey {
  JobKind kind = JobKind::Pump;
  int number = 0;
  DateTime slot;
  friend auto operator<=>(const SlotKey&, const SlotKey&) = default;
};
std::optional<SlotKey> DecidedSlot(const HistoryLine& line);
// Leaves out of `slots` those that `decided` names.
void DropDecided(std::vector<MissedSlot>& slots, std::vector<SlotKey> decided);

// The missed slots of the span from `since` to `until` (local times), from the journal beside
// `iniFile`: what tavrocheck --missed lists and a re-run of the missed slots launches. None when
// the file has errors and the launcher was down in the span.
std::optional<std::vector<MissedSlot>> ListMissedSlots(const std::string& iniFile, DateTime since, DateTime until);

}  // namespace tavro
