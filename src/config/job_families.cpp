#include "config/job_sections.h"

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

// Named for every job of every reading and check: appended, not inserted before the number.
std::string JobSectionName(const char* prefix, std::size_t index) {
  std::string name = prefix;
  name += std::to_string(index + 1);
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
