#pragma once
// The PostgreSQL server that tests/testing/postgres_server.sh started for the tests of this
// process, reached through ODBC with the psqlODBC driver, natively and from the Windows build
// under wine (whose ODBC goes to the host's driver manager).

#include <string>

#include "jobs/launcher_state.h"

namespace tavro::testutil {

struct PostgresServer {
  static constexpr const char* kDriver = "PostgreSQL Unicode";

  std::string port, user, password, database;
  std::string control;  // where stop and start requests go

  // The server named by the environment; fails the calling test when there is none.
  static const PostgresServer& Get();

  // An ODBC connection string with the driver above and the server's database and login.
  std::string ConnectionString() const;
  // A [mssql] section for the table "pd" (columns tag, ts, val) of the server.
  ProgramSettings MssqlSettings() const;
  // The same as INI text, "mod=mssql" included.
  std::string MssqlIni() const;

  // Stops or starts the server and returns when that is done.
  void Stop() const;
  void Start() const;
};

// Starts the server again when a test that stopped it ends, however it ends.
class RestartAtEnd {
 public:
  ~RestartAtEnd() { PostgresServer::Get().Start(); }
};

}  // namespace tavro::testutil
