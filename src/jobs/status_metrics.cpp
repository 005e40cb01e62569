#include "jobs/status_metrics.h"

#include <charconv>
#include <string_view>
#include <type_traits>
#include <cstdint>
#include <vector>

namespace tavro {
namespace {

void AppendNumber(std::string& out, std::int64_t value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, end);
}

// Seconds since 1970 UTC, to the millisecond.
void AppendSeconds(std::string& out, const ZonedTime& time) {
  const std::int64_t ms = time.Instant();
  const std::int64_t seconds = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
  AppendNumber(out, seconds);
  const std::int64_t fraction = ms - seconds * 1000;
  if (fraction == 0) return;
  out += '.';
  out += static_cast<char>('0' + fraction / 100);
  out += static_cast<char>('0' + fraction / 10 % 10);
  out += static_cast<char>('0' + fraction % 10);
}

void Family(std::string& out, const char* name, const char* type, const char* help) {
  out.append("# HELP ").append(name).append(" ").append(help).append("\n# TYPE ").append(name);
  out.append(" ").append(type).append("\n");
}

// One sample: `labels` are the label pairs without braces ("" for none), `more` a pair after them.
template <class Value>
void Sample(std::string& out, const char* name, std::string_view labels, const Value& value,
            std::string_view more = {}) {
  out += name;
  if (!labels.empty()) {
    out += '{';
    out += labels;
    if (!more.empty()) out.append(1, ',').append(more);
    out += '}';
  }
  out += ' ';
  if constexpr (std::is_same_v<Value, ZonedTime>) {
    AppendSeconds(out, value);
  } else {
    AppendNumber(out, static_cast<std::int64_t>(value));
  }
  out += '\n';
}

std::string Label(const char* name, std::string_view value) {
  std::string pair = name;
  pair += "=\"";
  AppendLabelValue(pair, value);
  pair += '"';
  return pair;
}

// The job metrics that hold one count each, in the order the file lists them.
struct JobCounter {
  const char* name;
  const char* help;
  std::uint64_t JobCounts::*count;
};
constexpr JobCounter kJobCounters[] = {
    {"tavro_job_launches_total", "Programs of the job started.", &JobCounts::launches},
    {"tavro_job_failed_launches_total", "Starts of the job's program that failed.", &JobCounts::failedLaunches},
    {"tavro_job_missed_slots_total", "Slots that passed while no launcher ran, as the start found them.",
     &JobCounts::missedSlots},
    {"tavro_job_skipped_overlaps_total", "Slots not launched because the job's previous run still ran.",
     &JobCounts::skippedOverlaps},
    {"tavro_job_limit_ends_total", "Runs of the job ended by its run time limit.", &JobCounts::endedByLimit},
};

}  // namespace

void AppendLabelValue(std::string& out, std::string_view value) {
  for (const char c : value) {
    if (c == '\\' || c == '"') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
}

std::string MetricsText(const StatusRecord& record) {
  std::string out;
  out.reserve(4096 + 800 * record.jobs.size());
  Family(out, "tavro_launcher_info", "gauge", "The launcher's version and run mode.");
  Sample(out, "tavro_launcher_info",
         Label("version", record.version) + "," + Label("mode", record.serviceMode ? "service" : "program"), 1);
  Family(out, "tavro_launcher_running", "gauge", "1 while the launcher is started, 0 while stopped or ending.");
  Sample(out, "tavro_launcher_running", "", record.state == LauncherRunState::Running ? 1 : 0);
  Family(out, "tavro_readings_total", "counter", "Readings of the configuration, by verdict.");
  Sample(out, "tavro_readings_total", "verdict=\"valid\"", record.reading.validCount);
  Sample(out, "tavro_readings_total", "verdict=\"errors\"", record.reading.invalidCount);
  Family(out, "tavro_reading_valid", "gauge", "1 when the last reading found no errors.");
  Sample(out, "tavro_reading_valid", "", record.reading.valid ? 1 : 0);
  Family(out, "tavro_reading_warnings", "gauge", "Findings of the last reading.");
  Sample(out, "tavro_reading_warnings", "", record.reading.warnings);
  if (record.reading.time) {
    Family(out, "tavro_last_reading_timestamp_seconds", "gauge", "When the configuration was last read.");
    Sample(out, "tavro_last_reading_timestamp_seconds", "", *record.reading.time);
  }
  Family(out, "tavro_source_info", "gauge", "The process-data source the configuration selects.");
  Sample(out, "tavro_source_info", Label("mode", record.source.mode), 1);
  Family(out, "tavro_source_reachable", "gauge", "0 while the source's server cannot be reached, else 1.");
  Sample(out, "tavro_source_reachable", "", record.source.reachable ? 1 : 0);
  Family(out, "tavro_source_read_errors_total", "counter", "Gate reads that failed.");
  Sample(out, "tavro_source_read_errors_total", "", record.source.readErrors);
  if (record.source.lastReadErrorTime) {
    Family(out, "tavro_source_last_read_error_timestamp_seconds", "gauge", "When a gate read last failed.");
    Sample(out, "tavro_source_last_read_error_timestamp_seconds", "", *record.source.lastReadErrorTime);
  }
  Family(out, "tavro_unwatched_runs_total", "counter",
         "Programs started unwatched because the most watched at once were running.");
  Sample(out, "tavro_unwatched_runs_total", "", record.unwatchedRuns);

  std::vector<std::string> labels;
  labels.reserve(record.jobs.size());
  for (const StatusRecord::Job& job : record.jobs) {
    std::string& pairs = labels.emplace_back("kind=\"");
    pairs.append(JobKindName(job.kind)).append("\",number=\"");
    AppendNumber(pairs, job.number);
    pairs += '"';
  }
  const std::size_t jobs = record.jobs.size();
  if (jobs == 0) return out;
  Family(out, "tavro_job_info", "gauge", "A job of the configuration: its section and name.");
  for (std::size_t i = 0; i < jobs; ++i) {
    Sample(out, "tavro_job_info", labels[i], 1,
           Label("section", record.jobs[i].section) + "," + Label("name", record.jobs[i].name));
  }
  for (const JobCounter& counter : kJobCounters) {
    Family(out, counter.name, "counter", counter.help);
    for (std::size_t i = 0; i < jobs; ++i) Sample(out, counter.name, labels[i], record.jobs[i].counts.*counter.count);
  }
  Family(out, "tavro_job_held_slots_total", "counter",
         "Task slots held: by the gate's value, or because its read failed.");
  for (std::size_t i = 0; i < jobs; ++i) {
    if (record.jobs[i].kind != JobKind::Task) continue;  // only a task has a gate
    Sample(out, "tavro_job_held_slots_total", labels[i], record.jobs[i].counts.heldByValue, "reason=\"value\"");
    Sample(out, "tavro_job_held_slots_total", labels[i], record.jobs[i].counts.heldBySourceFailure,
           "reason=\"source_failure\"");
  }
  Family(out, "tavro_job_running", "gauge", "Watched runs of the job going now.");
  for (std::size_t i = 0; i < jobs; ++i) Sample(out, "tavro_job_running", labels[i], record.jobs[i].runsNow);
  Family(out, "tavro_job_last_launch_timestamp_seconds", "gauge", "When the job's last launch was decided.");
  for (std::size_t i = 0; i < jobs; ++i) {
    if (record.jobs[i].lastLaunch) {
      Sample(out, "tavro_job_last_launch_timestamp_seconds", labels[i], *record.jobs[i].lastLaunch);
    }
  }
  Family(out, "tavro_job_last_exit_code", "gauge",
         "How the job's last watched run ended: its exit code, or 128 plus the signal that ended it.");
  for (std::size_t i = 0; i < jobs; ++i) {
    if (const std::optional<RunEndRecord>& end = record.jobs[i].lastEnd) {
      Sample(out, "tavro_job_last_exit_code", labels[i], end->bySignal ? 128 + end->code : end->code);
    }
  }
  return out;
}

}  // namespace tavro
