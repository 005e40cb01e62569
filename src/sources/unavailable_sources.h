#pragma once
// The historians this build cannot reach yet: a read fails (a negative value keeps the gate closed)
// and says why in the log; a PI binding that cannot be made stops the launcher.

#include <string>
#include <utility>

#include "sources/gate_reader.h"
#include "support/log_sink.h"

namespace tavro {

class UnavailableReader : public GateReader {
 public:
  UnavailableReader(std::string source, LogSink& log) : log_(log), source_(std::move(source)) {}
  double Read(const GateRequest& request) override;

 protected:
  LogSink& log_;

 private:
  std::string source_;
};

class UnavailablePiReader final : public UnavailableReader {
 public:
  UnavailablePiReader(const ProgramSettings& settings, LogSink& log)
      : UnavailableReader("PI", log), settings_(settings) {}
  bool KeepReady() override;

 private:
  const ProgramSettings& settings_;
};

}  // namespace tavro
