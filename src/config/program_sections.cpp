#include "config/program_sections.h"

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

}  // namespace

void ReadProgramSections(ReadingRun& run, ProgramSettings& settings, const PrepareSourceFunction& prepareSource) {
  const std::string mod = run.ini.ReadString("program", "mod", "");
  settings.SourceMode = SourceModeFor(mod, settings.SourceMode);
  settings.DebugMode = run.ini.ReadBool("program", "debug", false);
  run.debug = settings.DebugMode;
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
