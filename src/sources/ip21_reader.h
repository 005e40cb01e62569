#pragma once
// The IP21 reader: the average of a tag over a window ending at a given time, from the historian's
// aggregates table. The times are written into the query text with a resolution of one hour; the
// connection string is the configuration's, used for every read on a connection of its own.

#include <cstdint>
#include <string>

#include "jobs/launcher_state.h"
#include "sources/database.h"
#include "sources/gate_reader.h"
#include "sources/source_outage.h"
#include "support/log_sink.h"

namespace tavro {

// "07-DEC-2026 09:00": the hour of the time, minutes and seconds dropped.
std::string FormatIp21Time(DateTime time);
// The interval in whole hours, at least two digits, and ":00": 90 minutes give "01:00".
std::string Ip21PeriodText(std::int32_t intervalLength);
// The aggregate query for the window [time - intervalLength minutes, time]. A quote or backslash in
// the tag is doubled, so that any tag stays inside its literal.
std::string Ip21QueryText(const std::string& tag, std::int32_t intervalLength, DateTime time);

// The configured connection string as ODBC takes it: less its "Provider=MSDASQL..." pair, the
// provider that bridges to ODBC. Another OLE DB provider cannot be reached and throws DatabaseError.
std::string Ip21OdbcConnectionString(const std::string& configured);

class Ip21Reader final : public GateReader {
 public:
  // database: the connection with its aggregate query, owned by the caller.
  Ip21Reader(const ProgramSettings& settings, Database& database, LogSink& log)
      : settings_(settings), database_(database), log_(log), outage_("IP21", log) {}

  // The first column of the last row; -20 for no row and for every failure, both logged (a server
  // out of reach once for the outage, source_outage.h).
  double ReadIp21Value(const std::string& tag, std::int32_t intervalLength, DateTime time);

  double Read(const GateRequest& request) override {
    return ReadIp21Value(request.task.runningtag, request.task.intervallength, request.slotTime);
  }

 private:
  const ProgramSettings& settings_;
  Database& database_;
  LogSink& log_;
  SourceOutage outage_;
};

}  // namespace tavro
