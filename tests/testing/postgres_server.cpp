#include "testing/postgres_server.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "support/connection_string.h"
#include "testing/host_path.h"
#include "testing/poll.h"

namespace tavro::testutil {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == 0) {
    throw std::runtime_error(std::string(name) + " is not set: run these tests through tests/testing/postgres_server.sh");
  }
  return value;
}

// The script carries the request out and removes the file; a generous deadline covers a busy machine.
void Request(const std::string& folder, const char* request) {
  const std::filesystem::path file = std::filesystem::path(folder) / request;
  std::ofstream(file).put('\n');
  if (!Eventually([&] { return !std::filesystem::exists(file); }, std::chrono::minutes(2))) {
    throw std::runtime_error(std::string("no server ") + request);
  }
}

}  // namespace

const PostgresServer& PostgresServer::Get() {
  static const PostgresServer server{Environment("TAVRO_PG_PORT"), Environment("TAVRO_PG_USER"),
                                     Environment("TAVRO_PG_PASSWORD"), Environment("TAVRO_PG_DATABASE"),
                                     HostPath(Environment("TAVRO_PG_CONTROL"))};
  return server;
}

std::string PostgresServer::ConnectionString() const {
  return "Driver={" + std::string(kDriver) + "};Server=127.0.0.1;Port=" + port + ";Database=" + database +
         ";UID=" + user + ";PWD=" + OdbcValue(password);
}

ProgramSettings PostgresServer::MssqlSettings() const {
  ProgramSettings s;
  s.MssqlHost = "127.0.0.1";
  s.MssqlUser = user;
  s.MssqlPassword = password;
  s.MssqlDatabase = database;
  s.MssqlTable = "pd";
  s.MssqlTagColumn = "tag";
  s.MssqlTimeColumn = "ts";
  s.MssqlValueColumn = "val";
  s.MssqlDriver = kDriver;
  s.MssqlOdbcAttributes = "Port=" + port;
  return s;
}

std::string PostgresServer::MssqlIni() const {
  return "[program]\nmod=mssql\n[mssql]\nhost=127.0.0.1\nuser=" + user + "\npassword=" + password +
         "\ndatabase=" + database + "\ntable=pd\ntagcolumn=tag\ntimecolumn=ts\nvaluecolumn=val\ndriver=" + kDriver +
         "\nodbc=Port=" + port + "\n";
}

void PostgresServer::Stop() const { Request(control, "stop"); }

void PostgresServer::Start() const { Request(control, "start"); }

}  // namespace tavro::testutil
