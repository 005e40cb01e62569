#pragma once
// The PI value reader: one value of a task's tag at its slot time, through the PI API library, the
// PI OLE DB provider or the PI SDK, as the [pi] key "apiado" chooses. Every failure is a value of 0
// or less, so that the task does not run.

#include <cstdint>
#include <optional>
#include <string>

#include "jobs/launcher_state.h"
#include "sources/automation.h"
#include "sources/database.h"
#include "sources/gate_reader.h"
#include "sources/pi_api_binding.h"
#include "support/date_time.h"
#include "support/log_sink.h"

namespace tavro {

// The PI SDK's root object (coclass PISDK) and the interface asked of it.
inline constexpr const char* kPiSdkClassId = "{3BCB2DC2-5F66-11D1-BD64-0060B0290178}";
inline constexpr const char* kPiSdkInterfaceId = "{3BCB2DC0-5F66-11D1-BD64-0060B0290178}";

// The query of the OLE DB path: the average over the minute that ends at the slot time.
inline constexpr const char* kPiSnapSql = "select value from piarchive.piavg where tag=:tag and time between :pred and :po";

// The connection of the OLE DB path as an ODBC string: the driver of [pi] "driver", the server, the
// login (a password only when one is set) and the attributes of [pi] "odbc". Throws DatabaseError
// when no driver is configured.
std::string PiOdbcConnectionString(const ProgramSettings& settings);

// PI time: seconds from 1970-01-01 00:00 to the local date-time (no time-zone conversion), rounded
// to the nearest second, halves to even. None when it does not fit 32 bits (before 1901 or after
// 19 January 2038).
std::optional<std::int32_t> PiTime(DateTime time);

class PiReader final : public GateReader {
 public:
  PiReader(const ProgramSettings& settings, LogSink& log, PiApiBinding& api, AutomationFactory& automation,
           Database& oleDb)
      : settings_(settings), log_(log), api_(api), automation_(automation), oleDb_(oleDb) {}

  double Read(const GateRequest& request) override;
  // At every tick while PI is the source: the PI API bound (apiado 0) or the PI SDK ready (apiado 2).
  bool KeepReady() override;

  // The password is never logged.
  double ReadPiValue(const std::string& tag, const std::string& host, const std::string& user,
                     const std::string& password, DateTime time);
  // Makes the PI SDK root object when it is not ready; false (logged) when that fails.
  bool InitPiSdk();
  // Every Start makes the PI SDK root object afresh at its next use.
  void ClearPiSdkReady() { PiSdkReady_ = false; }

 private:
  double ReadThroughApi(const std::string& tag, const std::string& host, const std::string& user,
                        const std::string& password, DateTime time);
  double ReadThroughOleDb(const std::string& tag, const std::string& host, const std::string& user,
                          const std::string& password, DateTime time);
  double ReadThroughSdk(const std::string& tag, const std::string& host, const std::string& user,
                        const std::string& password, DateTime time);
  // Steps of an opened server: the point, its archive value at the time.
  double ReadOpenServer(AutomationObject& server, const std::string& tag, const std::string& password,
                        DateTime time);
  void Debug(const std::string& text, bool stamped) {
    if (settings_.DebugMode) log_.Write(text, stamped);
  }

  const ProgramSettings& settings_;
  LogSink& log_;
  PiApiBinding& api_;
  AutomationFactory& automation_;
  Database& oleDb_;               // the connection and query of the OLE DB path
  bool oleDbConnected_ = false;   // a failed read leaves it connected, and the next one reuses it
  bool oleDbQuerySet_ = false;
  AutomationObjectRef PiSdk_;  // held from one successful InitPiSdk to the next
  bool PiSdkReady_ = false;
};

}  // namespace tavro
