// tavrocheck: reads a configuration file exactly as the launcher would at a given time, shows the
// reading's log and the jobs with their first times, then what it finds questionable although the
// launcher accepts it, and tells by its exit code whether the launcher would accept the file. Run it
// after editing the file, before the launcher reads it.

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "config/ini_file.h"
#include "config/ini_reading.h"
#include "jobs/launcher_state.h"
#include "support/date_time_text.h"
#include "support/library_search.h"
#include "support/log_file.h"
#include "support/simulated_clock.h"
#include "findings/findings.h"
#include "tavrocheck/options.h"
#include "tavrocheck/output.h"
#include "tavrocheck/plan.h"
#include "tavrocheck/probe.h"
#include "tavrocheck/status_view.h"

namespace tavro {
namespace {

constexpr int kValid = 0;
constexpr int kInvalid = 1;
constexpr int kUsageError = 2;
constexpr int kValidWithFindings = 3;
constexpr int kSourceUnavailable = 3;  // with --probe
constexpr int kStaleStatus = 4;        // with --status
constexpr int kEndedStatus = 6;        // with --status: the launcher ended by Exit or a service stop

// Lines end as the log's entries do, so the whole output has one kind of line end.
constexpr const char* kLineEnd = "\r\n";

// The launcher reads the file by its full path and names it so in its errors.
std::string FullPath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path full = std::filesystem::absolute(path, error);
  return error ? path : full.string();
}

// Lines are appended to one text and written in blocks: a file may hold thousands of jobs, and a
// text as large as the whole listing would take fresh memory at each step of its growth.
void EndLine(std::ostream& out, std::string& lines) {
  lines += kLineEnd;
  if (lines.size() >= 1 << 16) {
    out << lines;
    lines.clear();
  }
}

void PrintJobs(std::ostream& out, const LauncherState& state) {
  std::string listing;
  const auto job = [&listing](const char* section, std::size_t i, const char* kind) {
    listing.append(section).append(std::to_string(i + 1)).append("\t").append(kind);
  };
  const auto time = [&listing](const char* name, DateTime value) {
    listing.append("\t").append(name).append(" ").append(IsSet(value) ? DateTimeText(value) : "not set");
  };
  for (std::size_t i = 0; i < state.Pumps.Items.size(); ++i) {
    job("pump_", i, "pump");
    time("LastTime", state.Pumps.Items[i].LastTime);
    EndLine(out, listing);
  }
  for (std::size_t i = 0; i < state.Batches.Items.size(); ++i) {
    job("batch_", i, "batch");
    time("LastTime", state.Batches.Items[i].LastTime);
    time("NextTime", state.Batches.Items[i].NextTime);
    EndLine(out, listing);
  }
  for (std::size_t i = 0; i < state.Tasks.Items.size(); ++i) {
    job("task_", i, "task");
    time("LastTime", state.Tasks.Items[i].LastTime);
    EndLine(out, listing);
  }
  for (std::size_t i = 0; i < state.Reports.Items.size(); ++i) {
    job("report_", i, "report");
    listing.append("\tDueToday ").append(state.Reports.Items[i].DueToday ? "yes" : "no");
    EndLine(out, listing);
  }
  out << listing;
  out.flush();
}

int Check(const std::vector<std::string>& args) {
  LoadSystemLibrariesFromSystemFolder();
  CheckOptions options;
  std::string error;
  if (!ParseCheckOptions(args, options, error)) {
    std::cerr << "tavrocheck: " << error << "\ntry 'tavrocheck --help'\n";
    return kUsageError;
  }
  if (options.help) {
    std::cout << CheckUsage();
    return kValid;
  }
  const DateTime now = options.now.value_or(LocalNow());
  const std::string iniFile = FullPath(options.iniFile);
  UseBinaryStandardOutput();
  if (options.planHours && options.svgFile) {
    switch (DrawPlan(iniFile, now, *options.planHours, options.job, *options.svgFile, std::cerr)) {
      case DrawOutcome::Drawn:
        return kValid;
      case DrawOutcome::Invalid:
        return kInvalid;
      case DrawOutcome::NotWritten:
        return kUsageError;
    }
  }
  if (options.status) {
    const StatusOutcome outcome = ShowStatus(iniFile, now, options.json, std::cout, std::cerr);
    std::cout.flush();
    if (outcome == StatusOutcome::Ended) return kEndedStatus;
    return outcome == StatusOutcome::Running ? kValid : outcome == StatusOutcome::Stale ? kStaleStatus : kInvalid;
  }
  if (options.planHours) {
    const bool valid = PrintPlan(iniFile, now, *options.planHours, options.job, std::cout, std::cerr);
    std::cout.flush();
    return valid ? kValid : kInvalid;
  }
  if (options.probeTag) {
    switch (ProbeGate({FullPath(options.iniFile), now, *options.probeTag, options.probeAt.value_or(now),
                       options.probeMinutes},
                      std::cout)) {
      case ProbeOutcome::Open:
        return kValid;
      case ProbeOutcome::Closed:
        return kInvalid;
      case ProbeOutcome::SourceUnavailable:
        return kSourceUnavailable;
    }
  }
  // Every entry of the reading carries the time of the reading.
  SimulatedClock clock(now);
  StreamLogSink log(std::cout, clock);
  LauncherState state;
  state.Settings.IniFileName = iniFile;
  // Read once, as the launcher does; the checks then look at the same file in memory.
  std::string problem;
  const IniFile ini = IniFile::Load(iniFile, &problem);
  // The SQL Server connection is not tried here; the reading checks its settings only.
  const ReadingVerdict verdict = ReadConfiguration(state, ini, ReadingContext{log, now, nullptr}, problem);
  PrintJobs(std::cout, state);
  const std::vector<Finding> findings = FindProblems({iniFile, ini, state, now, verdict.warnings});
  std::string lines;
  for (const Finding& finding : findings) EndLine(std::cout, lines.append(FindingLine(finding)));
  std::cout << lines;
  std::cout.flush();
  if (!state.Settings.IniValid) return kInvalid;
  return findings.empty() ? kValid : kValidWithFindings;
}

}  // namespace
}  // namespace tavro

int main(int argc, char** argv) { return tavro::Check(std::vector<std::string>(argv + 1, argv + argc)); }
