#include "sources/plant_sources.h"

namespace tavro {
namespace {

std::unique_ptr<Database> NewOdbcDatabase() { return std::make_unique<OdbcDatabase>(); }

}  // namespace

PlantSources::PlantSources(const ProgramSettings& settings, LogSink& log, Clock& clock, ReadDeadline& deadline,
                           const std::string& launcherFolder, TrialConnection trial)
    : piApiBinding_(SystemPiApiLibrary(launcherFolder)),
      none_(settings, log),
      phd_("PHD", settings, log, automation_, deadline, NewAutomationReader<PhdReader>),
      piApi_(settings, log, piApiBinding_, deadline),
      piDatabase_(deadline, "PI", log, NewOdbcDatabase),
      piOleDb_(settings, log, piDatabase_),
      piSdk_("PI SDK", settings, log, automation_, deadline, NewAutomationReader<PiSdkReader>),
      piWithoutAccess_(settings, log),
      ip21Database_(deadline, "IP21", log, NewOdbcDatabase),
      ip21_(settings, ip21Database_, log),
      mssqlDatabase_(deadline, "MSSQL", log, NewOdbcDatabase),
      mssql_(mssqlDatabase_, log, clock, trial) {}

GateReader& PlantSources::ReaderFor(const ProgramSettings& settings) {
  switch (settings.SourceMode) {
    case kSourceKord:
      return kord_;
    case kSourcePhd:
      return phd_;
    case kSourcePi:
      return PiReaderFor(settings.PiAccess);
    case kSourceIp21:
      return ip21_;
    case kSourceMssql:
      return mssql_;
    default:
      return none_;
  }
}

GateReader& PlantSources::PiReaderFor(std::int32_t access) {
  switch (access) {
    case kPiApi:
      return piApi_;
    case kPiOleDb:
      return piOleDb_;
    case kPiSdk:
      return piSdk_;
    default:
      return piWithoutAccess_;
  }
}

}  // namespace tavro
