#pragma once
// How many job sections a configuration makes the reading fill. The fuzz targets leave large tables
// to the corpus test: under the sanitizers they take up to seconds per input and reach no code that
// small tables do not.

#include <cstdint>

#include "config/ini_file.h"
#include "config/job_sections.h"

namespace tavro::fuzzing {

inline std::int64_t TableSize(const IniFile& ini) {
  std::int64_t jobs = 0;
  for (const char* family : {"pumps", "batches", "tasks", "reports"}) {
    const std::int32_t count = ini.ReadInteger(family, "count", 0);
    // Negative and too large counts are refused before any table is made.
    if (count > 0 && count <= kMaxJobCount) jobs += count;
  }
  return jobs;
}

}  // namespace tavro::fuzzing
