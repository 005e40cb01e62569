// The configuration reading on any bytes: the parser, then every section as the launcher reads them,
// with the SQL Server settings checked but not tried.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "config/ini_file.h"
#include "config/ini_reading.h"
#include "jobs/launcher_state.h"
#include "support/date_time.h"
#include "table_size.h"
#include "testing/recording_log.h"

// Tables of this size still take only milliseconds per input under the sanitizers.
constexpr std::int64_t kMostJobs = 1000;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tavro;
  const IniFile ini = IniFile::Parse(std::string(reinterpret_cast<const char*>(data), size));
  if (fuzzing::TableSize(ini) > kMostJobs) return -1;  // not kept in the corpus
  testutil::RecordingLog log;
  LauncherState state;
  state.Settings.IniFileName = "fuzzed.ini";
  // A leap day shortly before midnight, so first times fall on both sides of a day and a month end.
  ReadConfiguration(state, ini, ReadingContext{log, MakeDateTime(2024, 2, 29, 23, 58, 30), nullptr});
  return 0;
}
