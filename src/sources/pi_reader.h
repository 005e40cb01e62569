#pragma once
// The PI value reader: one value of a task's tag at its slot time. PI is reached through its API
// library, its SQL over ODBC (once its OLE DB provider) or its SDK, as the [pi] key "apiado"
// chooses; each way is a reader of its own (pi_api_reader.h, pi_oledb_reader.h, pi_sdk_reader.h),
// and PlantSources picks one. Every failure is a value of 0 or less, so that the task does not run.

#include <cstdint>
#include <optional>
#include <string>

#include "jobs/launcher_state.h"
#include "sources/gate_reader.h"
#include "support/date_time.h"
#include "support/log_sink.h"

namespace tavro {

// PI time: seconds from 1970-01-01 00:00 to the local date-time (no time-zone conversion), rounded
// to the nearest second, halves to even. None when it does not fit 32 bits (before 1901 or after
// 19 January 2038).
std::optional<std::int32_t> PiTime(DateTime time);

// What the ways to PI share: the call entry of the debug log, and the settings a read is made with.
class PiReader : public GateReader {
 public:
  PiReader(const ProgramSettings& settings, LogSink& log) : settings_(settings), log_(log) {}

  double Read(const GateRequest& request) final;
  // The password is never logged.
  double ReadPiValue(const std::string& tag, const std::string& host, const std::string& user,
                     const std::string& password, DateTime time);

 protected:
  virtual double ReadThisWay(const std::string& tag, const std::string& host, const std::string& user,
                             const std::string& password, DateTime time) = 0;
  void Debug(const std::string& text, bool stamped) {
    if (settings_.DebugMode) log_.Write(text, stamped);
  }

  const ProgramSettings& settings_;
  LogSink& log_;
};

// An "apiado" that names no way to PI: every read gives -1.
class PiWithoutAccess final : public PiReader {
 public:
  using PiReader::PiReader;

 private:
  double ReadThisWay(const std::string&, const std::string&, const std::string&, const std::string&,
                     DateTime) override {
    return Failed(-1.0, SourceFailed("apiado names no way to PI"));
  }
};

}  // namespace tavro
