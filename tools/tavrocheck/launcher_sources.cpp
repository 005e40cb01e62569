#include "tavrocheck/launcher_sources.h"

#include <filesystem>
#include <vector>

#include "sources/bounded_trial.h"
#include "support/process_path.h"

namespace tavro {

std::string LauncherIniFile(const std::string& iniFile) {
  namespace fs = std::filesystem;
  const fs::path given = fs::absolute(iniFile);
  std::vector<fs::path> configurations{given};
#ifdef TAVRO_INSTALLED_INI
  configurations.emplace_back(TAVRO_INSTALLED_INI);
#endif
  for (const fs::path& configuration : configurations) {
    std::error_code error;
    const bool launcherThere = fs::exists(fs::path(configuration).replace_extension(), error) ||
                               fs::exists(fs::path(configuration).replace_extension(".exe"), error);
    if (launcherThere && fs::equivalent(configuration, given, error)) return configuration.string();
  }
  return given.string();
}

LauncherSources::LauncherSources(const ProgramSettings& settings, const std::string& iniFile, LogSink& log,
                                 Clock& clock, TrialConnection trial)
    : deadline_(realTime_),
      pause_([this](int milliseconds) {
        realTime_.Wait(milliseconds);
        return true;
      }),
      // The PI API library is looked for where the launcher of this file looks for it.
      sources_(settings, log, clock, deadline_, FolderOf(LauncherIniFile(iniFile)), trial) {}

PrepareSourceFunction LauncherSources::Trial() {
  return BoundedTrial(PrepareSelectedSource(sources_), deadline_, pause_);
}

LauncherSources::Gate LauncherSources::Read(const ProgramSettings& settings, const TUkol& task, int number,
                                            DateTime slotTime, LogSink& log) {
  GateReader& reader = sources_.ReaderFor(settings);
  bool ready = true;
  if (deadline_.Bound(settings.ReadTimeout, pause_, [&] { ready = reader.KeepReady(); }) != ReadDeadline::End::Done ||
      !ready) {
    return {{kNoValueFound, false}, true};
  }
  return {deadline_.Read(reader, GateRequest{task, number, slotTime}, settings.ReadTimeout, log, pause_), false};
}

}  // namespace tavro
