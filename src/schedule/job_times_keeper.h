#pragma once
// Keeps the launcher's job times in "tavrorun.jobs" beside its configuration (see jobs/job_times.h):
// what an earlier run left is read once, at the start; then every job's line is written after each
// reading, a job's line after each of its launch decisions, and once a minute that the launcher
// still runs. A kill at any moment repeats at most the launch in progress at the next start.

#include <optional>
#include <string>

#include "jobs/job_times.h"
#include "support/record_file.h"

namespace tavro {

// The job times file of the configuration file `iniFileName`: the same name, extension ".jobs".
std::string JobTimesFileName(const std::string& iniFileName);

class JobTimesKeeper {
 public:
  // Reads what the file holds, then opens it for writing; false with the reason when it cannot be
  // written (the launcher then runs without it).
  bool Open(const std::string& path, std::int64_t started, std::string& problem);
  // What an earlier launcher left, if it left anything readable.
  const std::optional<JobTimesRecord>& Earlier() const { return earlier_; }

  void WriteAll(const LauncherState& state, std::int64_t now);
  void WriteJob(const LauncherState& state, JobKind kind, std::size_t index, std::int64_t now);
  void Alive(std::int64_t now);

 private:
  RecordFile file_;
  std::optional<JobTimesRecord> earlier_;
  std::int64_t started_ = 0;
  std::size_t jobs_ = 0;  // the lines after the header, as last written whole
};

}  // namespace tavro
