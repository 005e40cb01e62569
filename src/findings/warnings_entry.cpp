#include "findings/warnings_entry.h"

#include "support/text.h"

namespace tavro {

void LogChangedFindings(std::vector<std::string>& logged, const CheckedFile& file, LogSink& log) {
  if (!file.state.Settings.Warnings) {
    logged.clear();
    return;
  }
  std::vector<std::string> lines;
  for (const Finding& finding : FindProblems(file)) lines.push_back(FindingLine(finding));
  if (lines == logged) return;
  logged = std::move(lines);
  if (logged.empty()) return;  // mended: the next finding is news again
  std::string entry = "In ini found these warnings:" + std::string(kLineBreak);
  for (const std::string& line : logged) entry += kLineBreak + line;
  log.Entry(entry);
}

}  // namespace tavro
