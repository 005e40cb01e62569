#pragma once
// The launcher's sources: one reader for each value of "mod", living as long as the launcher, so
// that what a source binds once (the PI libraries) stays bound.

#include "sources/basic_gates.h"
#include "sources/gate_reader.h"
#include "sources/ip21_reader.h"
#include "sources/mssql_reader.h"
#include "sources/odbc_database.h"
#include "sources/unavailable_sources.h"
#include "support/clock.h"
#include "support/log_sink.h"

namespace tavro {

class PlantSources final : public GateSources {
 public:
  PlantSources(const ProgramSettings& settings, LogSink& log, Clock& clock);
  GateReader& ReaderFor(const ProgramSettings& settings) override;
  void PrepareMssql(const ProgramSettings& settings) override;

 private:
  NoSourceGate none_;
  KordGate kord_;
  UnavailableReader phd_;
  UnavailablePiReader pi_;
  OdbcDatabase ip21Database_;
  Ip21Reader ip21_;
  OdbcDatabase mssqlDatabase_;
  MssqlReader mssql_;
};

}  // namespace tavro
