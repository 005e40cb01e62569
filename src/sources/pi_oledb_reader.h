#pragma once
// PI's own SQL over ODBC (apiado=1, once through PI's OLE DB provider): the average of the tag over
// the minute that ends at the slot time.

#include <string>

#include "sources/database.h"
#include "sources/pi_reader.h"
#include "sources/source_outage.h"

namespace tavro {

// The query: the average over the minute that ends at the slot time.
inline constexpr const char* kPiSnapSql = "select value from piarchive.piavg where tag=:tag and time between :pred and :po";

// The connection as an ODBC string: the driver of [pi] "driver", the server, the login (a password
// only when one is set) and the attributes of [pi] "odbc". Throws DatabaseError when no driver is
// configured.
std::string PiOdbcConnectionString(const ProgramSettings& settings);

class PiOleDbReader final : public PiReader {
 public:
  // database: the connection with its query, owned by the caller.
  PiOleDbReader(const ProgramSettings& settings, LogSink& log, Database& database)
      : PiReader(settings, log), database_(database), outage_("PI", log) {}

 private:
  double ReadThisWay(const std::string& tag, const std::string& host, const std::string& user,
                     const std::string& password, DateTime time) override;

  Database& database_;
  SourceOutage outage_;  // a server out of reach is said once for the outage
  bool querySet_ = false;
};

}  // namespace tavro
