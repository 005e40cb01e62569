#include "sources/plant_sources.h"

namespace tavro {

PlantSources::PlantSources(const ProgramSettings& settings, LogSink& log, Clock& clock)
    : piApi_(SystemPiApiLibrary()),
      none_(settings, log),
      phd_(settings, log, automation_),
      pi_(settings, log, piApi_, automation_, piDatabase_),
      ip21_(settings, ip21Database_, log),
      mssql_(mssqlDatabase_, log, clock) {}

GateReader& PlantSources::ReaderFor(const ProgramSettings& settings) {
  switch (settings.SourceMode) {
    case kSourceKord:
      return kord_;
    case kSourcePhd:
      return phd_;
    case kSourcePi:
      return pi_;
    case kSourceIp21:
      return ip21_;
    case kSourceMssql:
      return mssql_;
    default:
      return none_;
  }
}

void PlantSources::PrepareMssql(const ProgramSettings& settings) { mssql_.PrepareMssql(settings); }

}  // namespace tavro
