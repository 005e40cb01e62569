#include <array>
#include <exception>

#include "config/program_sections.h"

namespace tavro {
namespace {

// Until a later reading selects a source again, tasks run without gating.
void SwitchOff(ReadingRun& run, ProgramSettings& settings) {
  run.log.Write("MSSQL will not be used", false);
  settings.SourceMode = kSourceNone;
}

}  // namespace

void ReadMssqlSection(ReadingRun& run, ProgramSettings& settings, const PrepareMssqlFunction& prepareMssql) {
  struct Setting {
    const char* key;
    std::string ProgramSettings::*field;
    const char* whenEmpty;
  };
  static constexpr std::array<Setting, 8> kSettings{{
      {"host", &ProgramSettings::MssqlHost, "MSSQL no host specified"},
      {"user", &ProgramSettings::MssqlUser, "MSSQL no user specified"},
      {"password", &ProgramSettings::MssqlPassword, "MSSQL password is not set"},
      {"database", &ProgramSettings::MssqlDatabase, "MSSQL no database specified"},
      {"table", &ProgramSettings::MssqlTable, "MSSQL no table specified"},
      {"tagcolumn", &ProgramSettings::MssqlTagColumn, "MSSQL no tagcolumn specified"},
      {"timecolumn", &ProgramSettings::MssqlTimeColumn, "MSSQL no timecolumn specified"},
      {"valuecolumn", &ProgramSettings::MssqlValueColumn, "MSSQL no valuecolumn specified"},
  }};
  for (const Setting& setting : kSettings) settings.*setting.field = run.ini.ReadString("mssql", setting.key, "");
  // The ODBC driver name; empty lets the connection choose the platform's usual one.
  settings.MssqlDriver = run.ini.ReadString("mssql", "driver", "");

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
  for (const Setting& setting : kSettings) {
    if ((settings.*setting.field).empty()) problems += kLineBreak + std::string(setting.whenEmpty);
  }
  if (!problems.empty()) {
    run.log.Entry("In MSSQL part of ini found these errors:" + std::string(kLineBreak) + problems);
    SwitchOff(run, settings);
    return;
  }
  if (!prepareMssql) return;
  try {
    prepareMssql(settings);
  } catch (const std::exception& error) {
    run.log.Entry("MSSQL error" + std::string(kLineBreak) + error.what());
    SwitchOff(run, settings);
  }
}

}  // namespace tavro
