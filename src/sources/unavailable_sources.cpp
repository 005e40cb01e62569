#include "sources/unavailable_sources.h"

#include "support/text.h"

namespace tavro {

double UnavailableReader::Read(const GateRequest& request) {
  log_.Entry(source_ + " reader is not available in this build; " + request.task.runningtag + " not read");
  return -1.0;
}

bool UnavailablePiReader::KeepReady() {
  switch (settings_.PiAccess) {
    case kPiApi:
      log_.Entry("Initialization PI API with error" + std::string(kLineBreak) +
                 "PI API library is not available in this build");
      return false;
    case kPiSdk:
      log_.Entry("PI SDK is not available in this build");
      return false;
    default:
      return true;
  }
}

}  // namespace tavro
