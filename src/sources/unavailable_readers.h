#pragma once
// The gate readers of a build that has no historian access yet: each read fails (a negative value
// keeps the gate closed) and says why in the log.

#include "sources/gate_readers.h"
#include "support/log_sink.h"

namespace tavro {

class UnavailableReaders final : public GateReaders {
 public:
  explicit UnavailableReaders(LogSink& log) : log_(log) {}
  double ReadPhdValue(const std::string& tag, DateTime, const std::string&, const std::string&,
                      const std::string&) override;
  double ReadPiValue(const std::string& tag, DateTime, const std::string&, const std::string&,
                     const std::string&) override;
  double ReadIp21Value(const std::string& tag, int, DateTime) override;
  double ReadMssqlValue(const std::string& tag, int, DateTime) override;
  std::string LoadPiApi() override;
  bool InitPiSdk() override;

 private:
  double Unavailable(const std::string& source, const std::string& tag);
  LogSink& log_;
};

}  // namespace tavro
