#pragma once
// Sources whose every gate is open and whose bindings are always ready: KORD's reader, whatever the
// configuration selects. The launch preview assumes them, and tests that are not about gating use
// them.

#include "sources/basic_gates.h"
#include "sources/gate_reader.h"

namespace tavro {

class OpenGates final : public GateSources {
 public:
  GateReader& ReaderFor(const ProgramSettings&) override { return kord_; }

 private:
  KordGate kord_;
};

}  // namespace tavro
