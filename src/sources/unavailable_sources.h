#pragma once
// The historians this build cannot reach yet: a read fails (a negative value keeps the gate closed)
// and says why in the log.

#include <string>
#include <utility>

#include "sources/gate_reader.h"
#include "support/log_sink.h"

namespace tavro {

class UnavailableReader : public GateReader {
 public:
  UnavailableReader(std::string source, LogSink& log) : log_(log), source_(std::move(source)) {}
  double Read(const GateRequest& request) override;

 private:
  LogSink& log_;
  std::string source_;
};

}  // namespace tavro
