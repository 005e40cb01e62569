#pragma once
// The launcher's sources: one reader for each value of "mod", living as long as the launcher, so
// that what a source binds once (the PI libraries) stays bound.

#include "sources/automation.h"
#include "sources/basic_gates.h"
#include "sources/gate_reader.h"
#include "sources/ip21_reader.h"
#include "sources/mssql_reader.h"
#include "sources/odbc_database.h"
#include "sources/phd_reader.h"
#include "sources/pi_api_binding.h"
#include "sources/pi_reader.h"
#include "support/clock.h"
#include "support/log_sink.h"

namespace tavro {

class PlantSources final : public GateSources {
 public:
  PlantSources(const ProgramSettings& settings, LogSink& log, Clock& clock);
  GateReader& ReaderFor(const ProgramSettings& settings) override;
  void PrepareMssql(const ProgramSettings& settings) override;
  void Starting() override { pi_.ClearPiSdkReady(); }

 private:
  SystemAutomation automation_;
  PiApiBinding piApi_;
  NoSourceGate none_;
  KordGate kord_;
  PhdReader phd_;
  OdbcDatabase piDatabase_;
  PiReader pi_;
  OdbcDatabase ip21Database_;
  Ip21Reader ip21_;
  OdbcDatabase mssqlDatabase_;
  MssqlReader mssql_;
};

}  // namespace tavro
