#pragma once
// PI through its API library (apiado=0): connect, log in, choose the server, find the point, read
// its archive value at the time.

#include "sources/pi_api_binding.h"
#include "sources/pi_reader.h"

namespace tavro {

class PiApiReader final : public PiReader {
 public:
  PiApiReader(const ProgramSettings& settings, LogSink& log, PiApiBinding& api) : PiReader(settings, log), api_(api) {}

  // At every tick while this is the source: the library bound, or the launcher stops.
  bool KeepReady() override;

 private:
  double ReadThisWay(const std::string& tag, const std::string& host, const std::string& user,
                     const std::string& password, DateTime time) override;

  PiApiBinding& api_;
};

}  // namespace tavro
