#pragma once
// The launcher's sources: one reader for each value of "mod", living as long as the launcher, so
// that what a source binds once (the PI libraries) stays bound.

#include "sources/basic_gates.h"
#include "sources/gate_reader.h"
#include "sources/unavailable_sources.h"
#include "support/log_sink.h"

namespace tavro {

class PlantSources final : public GateSources {
 public:
  PlantSources(const ProgramSettings& settings, LogSink& log);
  GateReader& ReaderFor(const ProgramSettings& settings) override;
  void PrepareMssql(const ProgramSettings& settings) override;

 private:
  NoSourceGate none_;
  KordGate kord_;
  UnavailableReader phd_;
  UnavailablePiReader pi_;
  UnavailableReader ip21_;
  UnavailableReader mssql_;
};

}  // namespace tavro
