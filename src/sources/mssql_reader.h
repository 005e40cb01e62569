#pragma once
// The SQL Server reader: a value of a tag over a time window, from one table whose name and columns
// the [mssql] section gives. The query is built and tried once when the configuration is read, and
// run with the task's tag and window at every read, each read on a connection of its own.

#include <cstdint>
#include <optional>
#include <string>

#include "jobs/launcher_state.h"
#include "sources/database.h"
#include "sources/gate_reader.h"
#include "support/clock.h"
#include "support/log_sink.h"

namespace tavro {

// "select VALUE from TABLE where TAG=:tag and TIME between :pred and :po", the settings as written.
std::string MssqlQueryText(const ProgramSettings& settings);

// Driver={DRIVER};Server=HOST;Database=...;UID=...;PWD=..., then the [mssql] "odbc" text as written.
// The driver is the platform's usual one when "driver" is empty.
std::string MssqlConnectionString(const ProgramSettings& settings);

// What a trial that succeeded does with its connection.
enum class TrialConnection {
  Close,        // the launcher's reads come in their own time, each on a connection of its own
  KeepForRead,  // the next read, which comes at once, goes on it (a probe: one connection, not two)
};

class MssqlReader final : public GateReader {
 public:
  // database: the connection with its value query, owned by the caller.
  MssqlReader(Database& database, LogSink& log, Clock& clock, TrialConnection trial = TrialConnection::Close)
      : trial_(trial), database_(database), log_(log), clock_(clock) {}

  // Sets up the connection and the query and runs the query once. Throws DatabaseError when that
  // fails, SourceUnreachable when the server did not answer, with the connection closed; after a
  // success it is closed or kept as the reader was made to.
  void Prepare(const ProgramSettings& settings) override;
  // After an unreachable server: tries the preparation again, saying once when it succeeds.
  bool KeepReady() override;
  // The value of the last row in the window [time - intervalLength minutes, time]; -20 for no row
  // (not logged) and for every failure (logged with the query).
  double ReadMssqlValue(const std::string& tag, std::int32_t intervalLength, DateTime time);

  // As ReadMssqlValue. A server lost after the reading (it could not be reached, or a read was given
  // up) is waited for as one away at the reading, said once: until it answers, every gate stays
  // closed without a word per read.
  double Read(const GateRequest& request) override;

 private:
  void TryQuery(const ProgramSettings& settings);
  void WaitForServer();
  void SayAnswersAgain();

  std::optional<ProgramSettings> waitingForServer_;  // the settings to prepare with once it answers
  std::optional<ProgramSettings> prepared_;          // what the last reading tried it with
  bool unreachable_ = false;                         // the last read's server could not be reached
  bool saidLost_ = false;                            // its outage was said and its end is not yet
  std::string lastRetryError_;                       // a refusal while waiting, said once
  TrialConnection trial_;
  Database& database_;
  LogSink& log_;
  Clock& clock_;
  std::string sqlText_;  // as the query holds it, for the error entry
};

}  // namespace tavro
