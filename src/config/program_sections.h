#pragma once
// The first half of a reading: the [program] section and the section of the selected process-data
// source. The settings of the other sources keep their values.

#include <array>
#include <cstdint>
#include <string_view>
#include <utility>

#include "config/ini_reading.h"
#include "config/reading_run.h"
#include "jobs/launcher_state.h"

namespace tavro {

// The words "mod" of "program" may name (compared without regard to case), with their SourceMode.
inline constexpr std::array<std::pair<std::string_view, std::int32_t>, 5> kSourceNames{{
    {"kord", kSourceKord},
    {"phd", kSourcePhd},
    {"pi", kSourcePi},
    {"ip21", kSourceIp21},
    {"mssql", kSourceMssql},
}};

// "mod", "debug", "readtimeout", "warnings", "logexit", "retryheld", "alert", "alertquiet" and
// "metricsfile"; sets run.debug, then reads the section of the source now selected.
void ReadProgramSections(ReadingRun& run, ProgramSettings& settings, const PrepareSourceFunction& prepareSource);

// What the log tells of a password instead of the password itself.
std::string PasswordState(const std::string& password);

void ReadPhdSection(ReadingRun& run, ProgramSettings& settings);
void ReadPiSection(ReadingRun& run, ProgramSettings& settings);
void ReadIp21Section(ReadingRun& run, ProgramSettings& settings);
// Unusable settings, or a failed try of the connection, switch the source off (SourceMode 0) with
// their messages in the log; they never make the file invalid.
void ReadMssqlSection(ReadingRun& run, ProgramSettings& settings, const PrepareSourceFunction& prepareSource);

}  // namespace tavro
