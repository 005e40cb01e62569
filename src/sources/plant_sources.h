#pragma once
// The launcher's sources: one reader for each value of "mod" (for PI, one for each way to it),
// living as long as the launcher, so that what a source binds once (the PI libraries) stays bound.

#include "sources/automation.h"
#include "sources/automation_gate.h"
#include "sources/basic_gates.h"
#include "sources/deadline_database.h"
#include "sources/gate_reader.h"
#include "sources/ip21_reader.h"
#include "sources/mssql_reader.h"
#include "sources/odbc_database.h"
#include "sources/phd_reader.h"
#include "sources/pi_api_binding.h"
#include "sources/pi_api_reader.h"
#include "sources/pi_oledb_reader.h"
#include "sources/pi_reader.h"
#include "sources/pi_sdk_reader.h"
#include "sources/read_deadline.h"
#include "support/clock.h"
#include "support/log_sink.h"

namespace tavro {

class PlantSources final : public GateSources {
 public:
  // deadline: what every read keeps to. launcherFolder: the folder of the launcher whose
  // configuration is read, where its PI API library may lie. trial: what a source's trial at the
  // reading does with its connection.
  PlantSources(const ProgramSettings& settings, LogSink& log, Clock& clock, ReadDeadline& deadline,
               const std::string& launcherFolder, TrialConnection trial = TrialConnection::Close);
  GateReader& ReaderFor(const ProgramSettings& settings) override;
  // The PI SDK's root object is made afresh on a fresh worker.
  void Starting() override { piSdk_.Restart(); }

 private:
  GateReader& PiReaderFor(std::int32_t access);

  const std::shared_ptr<AutomationFactory> automation_ = std::make_shared<SystemAutomation>();
  PiApiBinding piApiBinding_;
  NoSourceGate none_;
  KordGate kord_;
  AutomationGate phd_;
  PiApiReader piApi_;
  DeadlineDatabase piDatabase_;
  PiOleDbReader piOleDb_;
  AutomationGate piSdk_;
  PiWithoutAccess piWithoutAccess_;
  DeadlineDatabase ip21Database_;
  Ip21Reader ip21_;
  DeadlineDatabase mssqlDatabase_;
  MssqlReader mssql_;
};

}  // namespace tavro
