#include "tavrocheck/status_view.h"

#include "support/process_facts.h"
#include "support/whole_file.h"
#include "window/status_report.h"
#include "window/status_table.h"

namespace tavro {
namespace {

constexpr std::size_t kMostStatusBytes = 64 * 1024 * 1024;
}  // namespace

StatusOutcome ShowStatus(const std::string& iniFile, DateTime now, bool json, std::ostream& out, std::ostream& notes) {
  const std::string file = StatusFileName(iniFile);
  const WholeFile read = ReadWholeFile(file, kMostStatusBytes);
  if (read.outcome == WholeFile::Outcome::Missing) {
    notes << "tavrocheck: no status file " << file << ": no launcher runs with this configuration\n";
    return StatusOutcome::Stale;
  }
  if (read.outcome == WholeFile::Outcome::Unreadable) {
    notes << "tavrocheck: " << file << " cannot be read: " << read.reason << '\n';
    return StatusOutcome::Unreadable;
  }
  std::string error;
  const std::optional<StatusRecord> status = ParseStatusRecord(read.bytes, error);
  if (!status) {
    notes << "tavrocheck: " << file << " is no status file of the launcher: " << error << '\n';
    return StatusOutcome::Unreadable;
  }
  // A launcher that ended cleanly wrote so last; its process number may belong to another by now.
  const bool ended = status->state == LauncherRunState::Ended;
  const bool runs = !ended && ProcessRuns(status->processId);
  if (json) {
    out << read.bytes;
  } else {
    SystemTimeZone zone;
    for (const std::string& line : StatusTableLines(*status, FirstZonedTimeOf(zone, now))) out << line << '\n';
    out << '\n' << StatusSummary(*status, runs) << '\n';
  }
  if (ended) return StatusOutcome::Ended;
  return runs ? StatusOutcome::Running : StatusOutcome::Stale;
}

}  // namespace tavro
