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

// A value the launcher cannot use is no error of the file: the read keeps its default deadline,
// and the log says why.
std::int32_t ReadTimeoutSeconds(ReadingRun& run) {
  const std::optional<std::string_view> written = run.ini.Find("program", "readtimeout");
  if (!written) return kDefaultReadTimeoutSeconds;
  const std::optional<std::int32_t> seconds = ParseIniInteger(*written);
  if (seconds && *seconds >= 1 && *seconds <= kLongestReadTimeoutSeconds) return *seconds;
  run.log.Entry("readtimeout=" + std::string(*written) + " is not a number of seconds from 1 to " +
                std::to_string(kLongestReadTimeoutSeconds) + ": gate reads time out after " +
                std::to_string(kDefaultReadTimeoutSeconds) + " s");
  return kDefaultReadTimeoutSeconds;
}

}  // namespace

void ReadProgramSections(ReadingRun& run, ProgramSettings& settings, const PrepareSourceFunction& prepareSource) {
  const std::string mod = run.ini.ReadString("program", "mod", "");
  settings.SourceMode = SourceModeFor(mod, settings.SourceMode);
  settings.DebugMode = run.ini.ReadBool("program", "debug", false);
  run.debug = settings.DebugMode;
  settings.ReadTimeout = ReadTimeoutSeconds(run);
  settings.Warnings = run.ini.ReadBool("program", "warnings", true);
  settings.LogExit = run.ini.ReadBool("program", "logexit", false);
  settings.Resume = std::clamp(run.ini.ReadInteger("program", "resume", 0), 0, kLongestResumeHours);
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
