#include <array>
#include <exception>
#include <utility>

#include "config/program_sections.h"
#include "config/section_keys.h"

namespace tavro {
namespace {

// Until a later reading selects a source again, tasks run without gating.
void SwitchOff(ReadingRun& run, ProgramSettings& settings) {
  run.log.Write("MSSQL will not be used", false);
  settings.SourceMode = kSourceNone;
}

// The settings without which the source cannot be used, in the order of their checks.
constexpr std::array<std::pair<std::string ProgramSettings::*, const char*>, 8> kRequiredSettings{{
    {&ProgramSettings::MssqlHost, "MSSQL no host specified"},
    {&ProgramSettings::MssqlUser, "MSSQL no user specified"},
    {&ProgramSettings::MssqlPassword, "MSSQL password is not set"},
    {&ProgramSettings::MssqlDatabase, "MSSQL no database specified"},
    {&ProgramSettings::MssqlTable, "MSSQL no table specified"},
    {&ProgramSettings::MssqlTagColumn, "MSSQL no tagcolumn specified"},
    {&ProgramSettings::MssqlTimeColumn, "MSSQL no timecolumn specified"},
    {&ProgramSettings::MssqlValueColumn, "MSSQL no valuecolumn specified"},
}};

}  // namespace

void ReadMssqlSection(ReadingRun& run, ProgramSettings& settings, const PrepareSourceFunction& prepareSource) {
  ReadKeys(run.ini, "mssql", kMssqlKeys, settings, run.kept);
  run.Debug(std::string("MSSQL") + kLineBreak + "host " + settings.MssqlHost, false);
  run.Debug("user " + settings.MssqlUser, false);
  run.Debug(kLineBreak + PasswordState(settings.MssqlPassword), false);
  run.Debug("database " + settings.MssqlDatabase, false);
  run.Debug("table " + settings.MssqlTable, false);
  run.Debug("tagcolumn " + settings.MssqlTagColumn, false);
  run.Debug("timecolumn " + settings.MssqlTimeColumn, false);
  run.Debug("valuecolumn " + settings.MssqlValueColumn, false);

  // These problems only switch the gating source off; they are not errors of the file.
  std::string problems;
  for (const auto& [field, whenEmpty] : kRequiredSettings) {
    if ((settings.*field).empty()) problems += kLineBreak + std::string(whenEmpty);
  }
  if (!problems.empty()) {
    run.log.Entry("In MSSQL part of ini found these errors:" + std::string(kLineBreak) + problems);
    SwitchOff(run, settings);
    return;
  }
  if (!prepareSource) return;
  try {
    prepareSource(settings);
  } catch (const SourceUnreachable& error) {
    // Opening every gate for an outage of a few seconds would run gated tasks for an hour.
    run.log.Entry("MSSQL error" + std::string(kLineBreak) + error.what());
    SaySourceCannotBeReached(run.log, "MSSQL");
  } catch (const std::exception& error) {
    run.log.Entry("MSSQL error" + std::string(kLineBreak) + error.what());
    SwitchOff(run, settings);
  }
}

}  // namespace tavro
