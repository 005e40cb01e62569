#pragma once
// The status record: what the running launcher tells its operator and monitoring, in the file
// "tavrorun.status" beside its configuration. This is its one home: the record as a value, and its
// text both ways (JSON, UTF-8). Its fields are listed in the reference page of tavrocheck.
// A later launcher may add fields; one that changes what a field means raises `format`.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jobs/job_status.h"
#include "support/date_time.h"
#include "support/time_zone.h"

namespace tavro {

inline constexpr int kStatusFormat = 1;

enum class LauncherRunState {
  Running,
  Stopped,  // the process runs, launching nothing
  Ended,    // the process ended by Exit or by a service stop
};

// Texts are UTF-8; times are local, with their offset from UTC.
struct StatusRecord {
  struct Reading {
    std::optional<ZonedTime> time;  // none: no reading yet
    bool valid = false;
    int warnings = 0;
    std::uint64_t validCount = 0, invalidCount = 0;  // readings since the start (metrics only)
  };
  struct Source {
    std::string mode;  // "none", "kord", "phd", "pi", "ip21", "mssql"
    std::optional<std::string> lastReadError;
    std::optional<ZonedTime> lastReadErrorTime;
    std::uint64_t readErrors = 0;  // since the start (metrics only)
    bool reachable = true;  // false while its server is out of reach
  };
  struct Job {
    JobKind kind = JobKind::Pump;
    int number = 0;  // counted from 1
    std::string section;
    std::string name;
    std::optional<ZonedTime> next;
    std::optional<ZonedTime> lastLaunch;
    std::optional<std::string> command;  // program and arguments, as the log writes them
    LaunchResult result = LaunchResult::None;
    int returnValue = 0;  // of a failed start, with its meaning
    std::string meaning;
    std::string heldBy;      // the tag that held a task, and its value
    double heldValue = 0.0;  // NaN when the record could not say it
    std::optional<std::string> sourceFailed;  // held because the read failed: what the value stands for
    std::optional<ZonedTime> readAgainUntil;  // that slot is read again at each tick until then (retryheld)
    std::optional<RunEndRecord> lastEnd;
    std::uint64_t skippedOverlaps = 0;  // since the launcher started
    std::uint64_t endedByLimit = 0;
    // Counted since the start and the watched runs going now: what the metrics file tells, not
    // the JSON text.
    JobCounts counts;
    int runsNow = 0;
  };

  int format = kStatusFormat;
  int processId = 0;
  std::string version;
  bool serviceMode = false;
  LauncherRunState state = LauncherRunState::Stopped;
  std::optional<std::string> stopReason;  // while not running
  ZonedTime written;
  Reading reading;
  Source source;
  std::uint64_t unwatchedRuns = 0;  // started while the most watched at once were running
  std::vector<Job> jobs;
};

std::string StatusRecordText(const StatusRecord& record);

// The record a text holds; none, with the reason in `error`, for a text that is no status record
// of a format this launcher knows (no JSON, bytes that are no UTF-8, a field missing or of the
// wrong kind).
std::optional<StatusRecord> ParseStatusRecord(std::string_view text, std::string& error);

}  // namespace tavro
