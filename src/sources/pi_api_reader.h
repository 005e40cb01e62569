#pragma once
// PI through its API library (apiado=0): connect, log in, choose the server, find the point, read
// its archive value at the time. The library's calls keep to the read's deadline (read_deadline.h):
// they run as one call that owns what it uses, and a given-up call keeps the library to itself until
// it returns, so that two calls are never in the library at once. A call given up while it still
// waited for the library never enters it: its read is past.

#include <memory>
#include <mutex>

#include "sources/given_up_calls.h"
#include "sources/pi_api_binding.h"
#include "sources/pi_reader.h"
#include "sources/read_deadline.h"
#include "sources/source_outage.h"

namespace tavro {

class PiApiReader final : public PiReader {
 public:
  PiApiReader(const ProgramSettings& settings, LogSink& log, PiApiBinding& api, ReadDeadline& deadline)
      : PiReader(settings, log), api_(api), deadline_(deadline), givenUp_("PI API", log), outage_("PI", log) {}

  // At every tick while this is the source: the library bound, or the launcher stops.
  bool KeepReady() override;

 private:
  double ReadThisWay(const std::string& tag, const std::string& host, const std::string& user,
                     const std::string& password, DateTime time) override;

  PiApiBinding& api_;
  ReadDeadline& deadline_;
  GivenUpCalls givenUp_;
  SourceOutage outage_;  // a server that piut_setservernode cannot reach, said once for the outage
  std::shared_ptr<std::mutex> inLibrary_ = std::make_shared<std::mutex>();
};

}  // namespace tavro
