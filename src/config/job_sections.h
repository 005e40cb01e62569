#pragma once
// The second half of a reading: the four job families, their checks and first launch times. Each
// family has a head section with "count" and one section per job, named by a prefix and the job's
// number counted from 1; element i of a table belongs to section i+1.

#include <cstddef>
#include <cstdint>
#include <string>

#include "config/reading_run.h"
#include "jobs/job_records.h"

namespace tavro {

// Far beyond any plant's timetable; a larger count is a typing error, not a request for memory.
inline constexpr std::int32_t kMaxJobCount = 10000;

// Each returns the count as the file wrote it.
std::int32_t ReadPumps(ReadingRun& run, TPumpy& pumps);
std::int32_t ReadBatches(ReadingRun& run, TBece& batches);
// With no pumps and no batches, a file without tasks has nothing to launch: that replaces the
// collected errors by the one error naming the file.
void ReadTasks(ReadingRun& run, TUkoly& tasks, bool noPumpsOrBatches, const std::string& iniFileName);
void ReadReports(ReadingRun& run, TRepUkoly& reports);

// Helpers of the families.

// Whether a table may take the count; otherwise the error is collected.
bool CountFits(ReadingRun& run, std::int32_t count, const std::string& head);
// Sets the table to `count` items (0 when the count does not fit). Positions that remain keep
// their contents, the run-time times included; new positions start with every field empty.
template <class Table>
void FitTable(ReadingRun& run, Table& table, std::int32_t count, const std::string& head) {
  table.count = CountFits(run, count, head) ? count : 0;
  table.Items.resize(static_cast<std::size_t>(table.count));
}
std::string JobSectionName(const char* prefix, std::size_t index);
// Collects "<error><section>" when the value is empty.
void RequireText(ReadingRun& run, const std::string& value, const char* error, const std::string& section);
// The period arithmetic divides by launchperiod: below 1 it is an error and no first time is given.
bool LaunchPeriodFits(ReadingRun& run, std::int32_t launchperiod, const std::string& section);

}  // namespace tavro
