#include "tavrocheck/status_view.h"

#include <filesystem>

#include "support/process_facts.h"
#include "support/whole_file.h"
#include "window/status_report.h"
#include "window/status_table.h"

namespace tavro {
namespace {

constexpr std::size_t kMostStatusBytes = 64 * 1024 * 1024;

const char* StatusPlaceText(std::filesystem::file_type type) {
  switch (type) {
    case std::filesystem::file_type::directory:
      return "a directory";
    case std::filesystem::file_type::symlink:
      return "a symbolic link";
    default:
      return "not a regular file";
  }
}

}  // namespace

StatusOutcome ShowStatus(const std::string& iniFile, DateTime now, bool json, std::ostream& out, std::ostream& notes) {
  const std::string file = StatusFileName(iniFile);
  // The launcher writes a plain file there or none: a directory, a FIFO or a link in its place holds
  // no record of it (a link could lead to another launcher's record).
  std::error_code error;
  const std::filesystem::file_type type = std::filesystem::symlink_status(file, error).type();
  if (type != std::filesystem::file_type::not_found && type != std::filesystem::file_type::regular && !error) {
    notes << "tavrocheck: " << file << " is no status file (" << StatusPlaceText(type)
          << "): the launcher cannot write its status there\n";
    return StatusOutcome::Stale;
  }
  const WholeFile read = ReadWholeFile(file, kMostStatusBytes);
  if (read.outcome == WholeFile::Outcome::Missing) {
    notes << "tavrocheck: no status file " << file
          << ": no launcher runs with this configuration, or it cannot write its status (its log says why)\n";
    return StatusOutcome::Stale;
  }
  if (read.outcome == WholeFile::Outcome::Unreadable) {
    notes << "tavrocheck: " << file << " cannot be read: " << read.reason << '\n';
    return StatusOutcome::Unreadable;
  }
  std::string problem;
  const std::optional<StatusRecord> status = ParseStatusRecord(read.bytes, problem);
  if (!status) {
    notes << "tavrocheck: " << file << " is no status file of the launcher: " << problem << '\n';
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
