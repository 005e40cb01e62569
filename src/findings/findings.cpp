#include "findings/findings.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "support/whole_file.h"

namespace tavro {

const std::vector<JobFamily> kJobFamilies{
    {"pumps", "pump_", [](const LauncherState& state) { return state.Pumps.Items.size(); },
     [](const LauncherState& state, std::size_t i) { return &state.Pumps.Items[i].exename; }},
    {"batches", "batch_", [](const LauncherState& state) { return state.Batches.Items.size(); },
     [](const LauncherState& state, std::size_t i) { return &state.Batches.Items[i].exename; }},
    {"tasks", "task_", [](const LauncherState& state) { return state.Tasks.Items.size(); },
     [](const LauncherState& state, std::size_t i) { return &state.Tasks.Items[i].exename; }},
    {"reports", "report_", [](const LauncherState& state) { return state.Reports.Items.size(); },
     [](const LauncherState&, std::size_t) -> const std::string* { return nullptr; }},
};

std::string FindingLine(const Finding& finding) {
  // Appended in place: thousands of findings would otherwise make a text for every part.
  std::string line = "finding: ";
  if (finding.section) line.append("[").append(*finding.section).append(finding.key ? "] " : "]");
  if (finding.key) line += *finding.key;
  if (finding.section || finding.key) line += ": ";
  line += finding.message;
  return line;
}

std::vector<Finding> FindProblems(const CheckedFile& file) {
  constexpr std::array<void (*)(const CheckedFile&, Findings&), 5> kChecks{
      FindSectionProblems, FindPhaseProblems, FindArgumentProblems, FindProgramProblems, FindCalendarProblems};
  Findings findings;
  // Room for a finding per job, as many as a file with a common mistake in every job has: the list
  // then rarely grows, which for thousands of jobs means copying them into fresh pages.
  std::size_t jobs = 0;
  for (const JobFamily& family : kJobFamilies) jobs += family.jobs(file.state);
  findings.reserve(jobs);
  if (!FindFileProblems(file, findings)) return findings;
  for (const std::string& warning : file.readingWarnings) findings.push_back({std::nullopt, std::nullopt, warning});
  for (const auto check : kChecks) check(file, findings);
  return findings;
}

namespace {

// The reading takes bytes as 8-bit text after at most one UTF-8 mark; an editor may have saved more.
// A UTF-16 file ends the check: read as 8-bit text it is nothing but noise to the other checks.
struct EncodingProblem {
  std::string message;
  bool endsCheck = false;
};

std::optional<EncodingProblem> FindEncodingProblem(std::string_view bytes) {
  constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  const bool utf16Mark = bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF";
  // Without a mark, UTF-16 shows as a zero byte beside nearly every character; most files have
  // none, which a search finds out faster than a count.
  const bool utf16Zeros = bytes.size() >= 2 && bytes.find('\0') != std::string_view::npos &&
                          std::count(bytes.begin(), bytes.end(), '\0') * 3 >= static_cast<std::ptrdiff_t>(bytes.size());
  if (utf16Mark || utf16Zeros) {
    return EncodingProblem{
        "the file is UTF-16 text, which the launcher does not read: it finds no section in it (save it as ANSI "
        "or UTF-8)",
        true};
  }
  if (bytes.substr(0, 2 * kUtf8Mark.size()) == std::string(kUtf8Mark) + std::string(kUtf8Mark)) {
    return EncodingProblem{
        "the file begins with two UTF-8 byte-order marks; the launcher skips one, so the other hides the first "
        "line (save it with at most one)",
        false};
  }
  return std::nullopt;
}

// False when the encoding leaves the other checks nothing to read.
bool EncodingPasses(std::string_view bytes, Findings& findings) {
  const std::optional<EncodingProblem> problem = FindEncodingProblem(bytes);
  if (!problem) return true;
  findings.push_back({std::nullopt, std::nullopt, problem->message});
  return !problem->endsCheck;
}

}  // namespace

// The reading takes a file it cannot read as an empty one and reports only that it found no job.
bool FindFileProblems(const CheckedFile& file, Findings& findings) {
  // The bytes the reading saw, when it read any; only a file it found empty, missing or unreadable is
  // opened again, to tell which.
  if (!file.ini.Bytes().empty()) return EncodingPasses(file.ini.Bytes(), findings);
  const WholeFile read = ReadWholeFile(file.path);
  if (read.outcome == WholeFile::Outcome::Missing) {
    findings.push_back({std::nullopt, std::nullopt, "cannot open " + file.path + ": No such file or directory"});
    return false;
  }
  if (read.outcome == WholeFile::Outcome::Unreadable) {
    findings.push_back({std::nullopt, std::nullopt, "cannot read " + file.path + ": " + read.reason});
    return false;
  }
  return EncodingPasses(read.bytes, findings);
}

}  // namespace tavro
