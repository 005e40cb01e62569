#pragma once
// Sources whose every gate is open and whose bindings are always ready: the launch preview assumes
// them, and tests that are not about gating use them.

#include "sources/gate_reader.h"

namespace tavro {

class OpenGates final : public GateSources, private GateReader {
 public:
  GateReader& ReaderFor(const ProgramSettings&) override { return *this; }
  void PrepareMssql(const ProgramSettings&) override {}

 private:
  double Read(const GateRequest&) override { return 1.0; }
};

}  // namespace tavro
