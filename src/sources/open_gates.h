#pragma once
// Readers whose every gate is open and whose PI bindings are always ready: the launch preview
// assumes them, and tests that are not about gating use them.

#include "sources/gate_readers.h"

namespace tavro {

class OpenGates final : public GateReaders {
 public:
  double ReadPhdValue(const std::string&, DateTime, const std::string&, const std::string&,
                      const std::string&) override {
    return 1.0;
  }
  double ReadPiValue(const std::string&, DateTime, const std::string&, const std::string&,
                     const std::string&) override {
    return 1.0;
  }
  double ReadIp21Value(const std::string&, int, DateTime) override { return 1.0; }
  double ReadMssqlValue(const std::string&, int, DateTime) override { return 1.0; }
  std::string LoadPiApi() override { return {}; }
  bool InitPiSdk() override { return true; }
};

}  // namespace tavro
