#include "sources/unavailable_readers.h"

namespace tavro {

double UnavailableReaders::Unavailable(const std::string& source, const std::string& tag) {
  log_.Entry(source + " reader is not available in this build; " + tag + " not read");
  return -1.0;
}

double UnavailableReaders::ReadPhdValue(const std::string& tag, DateTime, const std::string&, const std::string&,
                                        const std::string&) {
  return Unavailable("PHD", tag);
}

double UnavailableReaders::ReadPiValue(const std::string& tag, DateTime, const std::string&, const std::string&,
                                       const std::string&) {
  return Unavailable("PI", tag);
}

double UnavailableReaders::ReadIp21Value(const std::string& tag, int, DateTime) { return Unavailable("IP21", tag); }

double UnavailableReaders::ReadMssqlValue(const std::string& tag, int, DateTime) {
  return Unavailable("MSSQL", tag);
}

std::string UnavailableReaders::LoadPiApi() { return "PI API library is not available in this build"; }

bool UnavailableReaders::InitPiSdk() {
  log_.Entry("PI SDK is not available in this build");
  return false;
}

}  // namespace tavro
