#include "config/job_sections.h"
#include "support/date_time_text.h"

namespace tavro {

bool CountFits(ReadingRun& run, std::int32_t count, const std::string& head) {
  if (count < 0) {
    run.AddError("Negative count " + LogText(count) + " in section " + head);
    return false;
  }
  if (count > kMaxJobCount) {
    run.AddError("Too large count " + LogText(count) + " in section " + head);
    return false;
  }
  return true;
}

// Named for every job of every reading and check: the number appended in place, not made into a
// string of its own first (a count is at most kMaxJobCount, so it fits an int).
std::string JobSectionName(const char* prefix, std::size_t index) {
  std::string name = prefix;
  AppendDecimal(name, static_cast<int>(index + 1));
  return name;
}

void RequireText(ReadingRun& run, const std::string& value, const char* error, const std::string& section) {
  if (value.empty()) run.AddError(error + section);
}

bool LaunchPeriodFits(ReadingRun& run, std::int32_t launchperiod, const std::string& section) {
  if (launchperiod >= 1) return true;
  run.AddError("Wrong launchperiod " + LogText(launchperiod) + " in " + section);
  return false;
}

}  // namespace tavro
