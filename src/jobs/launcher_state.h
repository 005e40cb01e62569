#pragma once
// Everything the launcher remembers: the job tables and the program-wide settings. The program owns
// one instance; tests make their own.

#include <cstdint>
#include <optional>
#include <string>

#include "jobs/job_control.h"
#include "jobs/job_records.h"
#include "jobs/job_status.h"
#include "support/clock.h"

namespace tavro {

enum SourceModes : std::int32_t {
  kSourceNone = 0,
  kSourceKord = 1,
  kSourcePhd = 2,
  kSourcePi = 3,
  kSourceIp21 = 4,
  kSourceMssql = 5,
};

enum PiAccessModes : std::int32_t { kPiApi = 0, kPiOleDb = 1, kPiSdk = 2 };

// How long a gate read may take, in seconds, unless the configuration says otherwise; and the
// longest it may say (an hour: a read must not hold the ticks for longer).
inline constexpr std::int32_t kDefaultReadTimeoutSeconds = 30;
inline constexpr std::int32_t kLongestReadTimeoutSeconds = 3600;
inline constexpr std::int32_t kLongestResumeHours = 24 * 366;
// The longest a failed gate read's slot may be read again, in minutes: a day.
inline constexpr std::int32_t kLongestRetryHeldMinutes = 1440;
// Within how many minutes an event of the same kind and job is told to the alert program once.
inline constexpr std::int32_t kDefaultAlertQuietMinutes = 15;
inline constexpr std::int32_t kLongestAlertQuietMinutes = 1440;

struct ProgramSettings {
  std::int32_t SourceMode = kSourceNone;
  bool DebugMode = false;
  bool IniValid = false;
  std::string ExeName;
  std::string IniFileName;

  std::string PhdHost, PhdUser, PhdPassword;  // password held decoded
  std::string PiHost, PiUser, PiPassword;     // password held decoded
  std::int32_t PiAccess = kPiApi;
  std::string PiDriver;          // the ODBC driver of the PI OLE DB path, key "driver" of [pi]
  std::string PiOdbcAttributes;  // more of its connection string, key "odbc" of [pi], appended as written
  std::string Ip21ConnectionString;
  std::string MssqlHost, MssqlUser, MssqlPassword, MssqlDatabase, MssqlTable;
  std::string MssqlTagColumn, MssqlTimeColumn, MssqlValueColumn;
  std::string MssqlDriver;  // ODBC driver name, key "driver" of [mssql]
  std::string MssqlOdbcAttributes;  // appended to the connection string, key "odbc" of [mssql]
  std::int32_t ReadTimeout = kDefaultReadTimeoutSeconds;  // key "readtimeout" of [program]
  bool Warnings = true;  // key "warnings" of [program]: the launcher logs the findings of its readings
  bool LogExit = false;  // key "logexit" of [program]: log the runs that end in failure
  // Key "resume" of [program]: at a start, take up the job times of a run at most so many hours
  // ago (0: every start computes them afresh).
  std::int32_t Resume = 0;
  // Key "retryheld" of [program]: for how many minutes after its due time a task slot whose gate
  // read failed is read again at each tick; 0, the slot is used up at once.
  std::int32_t RetryHeld = 0;
  // Keys "overlap" and "maxruntime" of [program]: what a job whose section says neither does.
  JobControl Control;
  // Key "alert" of [program]: the program, with fixed arguments of its own, told of every event
  // worth a call (LogEvent); "" for none.
  std::string Alert;
  std::int32_t AlertQuiet = kDefaultAlertQuietMinutes;  // key "alertquiet" of [program]
  // Key "metricsfile" of [program]: where the metrics go; "" beside the status file.
  std::string MetricsFile;
};

struct LauncherState {
  TPumpy Pumps;
  TBece Batches;
  TUkoly Tasks;
  TRepUkoly Reports;
  ProgramSettings Settings;
  JobStatus Status;
  // The time of the last tick (or of the start): what the next tick compares its own with.
  std::optional<TickTime> LastTick;
};

}  // namespace tavro
