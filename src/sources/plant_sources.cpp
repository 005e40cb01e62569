#include "sources/plant_sources.h"

#include <stdexcept>

namespace tavro {

PlantSources::PlantSources(const ProgramSettings& settings, LogSink& log)
    : piApi_(SystemPiApiLibrary()),
      none_(settings, log),
      phd_(settings, log, automation_),
      pi_(settings, log, piApi_, automation_),
      ip21_("IP21", log),
      mssql_("MSSQL", log) {}

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

// Until this build reaches SQL Server, selecting it fails its one trial, so task gating is switched
// off with the reading's own messages instead of failing later at every task.
void PlantSources::PrepareMssql(const ProgramSettings&) {
  throw std::runtime_error("SQL Server access is not available in this build");
}

}  // namespace tavro
