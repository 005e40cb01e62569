#include "config/program_sections.h"

#include <algorithm>

#include "support/text.h"

namespace tavro {
namespace {

// Another word, an empty one included, leaves the source selected before.
std::int32_t SourceModeFor(const std::string& mod, std::int32_t current) {
  for (const auto& [name, mode] : kSourceNames) {
    if (EqualsIgnoreCase(mod, name)) return mode;
  }
  return current;
}

// A number of [program] from `lowest` to `highest`. A value the launcher cannot use is no error of
// the file: the default counts, and the log says why ("KEY=X is not a number of UNIT from LOWEST
// to HIGHEST: " and what the default does).
std::int32_t BoundedNumber(ReadingRun& run, const char* key, std::int32_t lowest, std::int32_t highest,
                           std::int32_t byDefault, const char* unit, const std::string& fallback) {
  const std::optional<std::string_view> written = run.ini.Find("program", key);
  if (!written) return byDefault;
  const std::optional<std::int32_t> number = ParseIniInteger(*written);
  if (number && *number >= lowest && *number <= highest) return *number;
  run.log.Entry(std::string(key) + "=" + std::string(*written) + " is not a number of " + unit + " from " +
                std::to_string(lowest) + " to " + std::to_string(highest) + ": " + fallback);
  return byDefault;
}

}  // namespace

void ReadProgramSections(ReadingRun& run, ProgramSettings& settings, const PrepareSourceFunction& prepareSource) {
  const std::string mod = run.ini.ReadString("program", "mod", "");
  settings.SourceMode = SourceModeFor(mod, settings.SourceMode);
  settings.DebugMode = run.ini.ReadBool("program", "debug", false);
  run.debug = settings.DebugMode;
  settings.ReadTimeout = BoundedNumber(run, "readtimeout", 1, kLongestReadTimeoutSeconds, kDefaultReadTimeoutSeconds,
                                      "seconds", "gate reads time out after " +
                                                     std::to_string(kDefaultReadTimeoutSeconds) + " s");
  settings.Warnings = run.ini.ReadBool("program", "warnings", true);
  settings.LogExit = run.ini.ReadBool("program", "logexit", false);
  settings.Resume = BoundedNumber(run, "resume", 0, kLongestResumeHours, 0, "hours",
                                 "job times are not taken up at a start");
  settings.RetryHeld = BoundedNumber(run, "retryheld", 0, kLongestRetryHeldMinutes, 0, "minutes",
                                     "a failed gate read is not read again");
  settings.Control.maxRunMinutes = BoundedNumber(run, "maxruntime", 0, kLongestMaxRunTimeMinutes, 0, "minutes",
                                                 "runs have no time limit");
  const std::string overlap = run.ini.ReadString("program", "overlap", "");
  settings.Control.overlap = OverlapPolicyNamed(overlap).value_or(OverlapPolicy::Run);
  if (!overlap.empty() && !OverlapPolicyNamed(overlap)) {
    run.log.Entry("overlap=" + overlap + " is not run, skip or wait: a job's runs may overlap");
  }
  settings.Alert = run.ini.ReadString("program", "alert", "");
  settings.AlertQuiet = BoundedNumber(run, "alertquiet", 0, kLongestAlertQuietMinutes, kDefaultAlertQuietMinutes,
                                      "minutes", "alerts are quieted for " +
                                                     std::to_string(kDefaultAlertQuietMinutes) + " min");
  settings.MetricsFile = run.ini.ReadString("program", "metricsfile", "");
  run.Debug([&] { return "mode " + mod + " (" + LogText(settings.SourceMode) + ")"; }, true);

  switch (settings.SourceMode) {
    case kSourcePhd:
      ReadPhdSection(run, settings);
      break;
    case kSourcePi:
      ReadPiSection(run, settings);
      break;
    case kSourceIp21:
      ReadIp21Section(run, settings);
      break;
    case kSourceMssql:
      ReadMssqlSection(run, settings, prepareSource);
      break;
    default:
      break;  // none, or KORD, which reads nothing
  }
}

}  // namespace tavro
