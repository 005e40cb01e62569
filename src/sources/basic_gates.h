#pragma once
// The two sources that read nothing: KORD, whose gate is always open, and no source at all, which
// lets a gated task run but says in the log that its tag was not looked at.

#include "sources/gate_reader.h"
#include "support/log_sink.h"

namespace tavro {

class KordGate final : public GateReader {
 public:
  double Read(const GateRequest&) override { return 1.0; }
};

class NoSourceGate final : public GateReader {
 public:
  NoSourceGate(const ProgramSettings& settings, LogSink& log) : settings_(settings), log_(log) {}
  double Read(const GateRequest& request) override;

 private:
  const ProgramSettings& settings_;
  LogSink& log_;
};

}  // namespace tavro
