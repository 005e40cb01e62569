// One SQL Server gate read after another (connect, parameterised query, close), against the
// PostgreSQL server that bench/sql_gate_read.sh starts; prints the median and the spread.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include "sources/mssql_reader.h"
#include "sources/odbc_database.h"
#include "support/clock.h"
#include "support/log_file.h"

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tavro;
  const int reads = argc > 1 ? std::atoi(argv[1]) : 500;
  ProgramSettings settings;
  settings.MssqlHost = "127.0.0.1";
  settings.MssqlUser = Environment("TAVRO_PG_USER");
  settings.MssqlPassword = Environment("TAVRO_PG_PASSWORD");
  settings.MssqlDatabase = Environment("TAVRO_PG_DATABASE");
  settings.MssqlTable = "pd";
  settings.MssqlTagColumn = "tag";
  settings.MssqlTimeColumn = "ts";
  settings.MssqlValueColumn = "val";
  settings.MssqlDriver = "PostgreSQL Unicode";
  settings.MssqlOdbcAttributes = "Port=" + Environment("TAVRO_PG_PORT");

  SystemClock clock;
  StreamLogSink log(std::cerr, clock);
  OdbcDatabase database;
  MssqlReader reader(database, log, clock);
  reader.Prepare(settings);

  std::vector<double> ms;
  // The launcher's own share (its driver manager and driver included), apart from the server's and
  // from the waits of a busy machine.
  const std::clock_t cpuStart = std::clock();
  for (int i = 0; i < reads; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const double value = reader.ReadMssqlValue("UNIT1.RUN", 15, MakeDateTime(2026, 12, 7, 10, i % 60));
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    if (value != 1.0) {
      std::fprintf(stderr, "read %d gave %g instead of 1\n", i, value);
      return 1;
    }
  }
  const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC / reads;
  std::sort(ms.begin(), ms.end());
  std::printf("gate read (connect, query of a 15-minute window, close) on loopback PostgreSQL, %d reads:\n", reads);
  std::printf("  median %.2f ms, 90th percentile %.2f ms, fastest %.2f ms, slowest %.2f ms (target: median under 10 ms)\n",
              ms[ms.size() / 2], ms[ms.size() * 9 / 10], ms.front(), ms.back());
  std::printf("  processor time of the reading process: %.2f ms a read\n", cpuMs);
  return 0;
}
