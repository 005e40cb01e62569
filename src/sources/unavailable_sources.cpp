#include "sources/unavailable_sources.h"

namespace tavro {

double UnavailableReader::Read(const GateRequest& request) {
  log_.Entry(source_ + " reader is not available in this build; " + request.task.runningtag + " not read");
  return -1.0;
}

}  // namespace tavro
