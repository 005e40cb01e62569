// tavrocheck: reads a configuration file exactly as the launcher would at a given time, shows the
// reading's log and the jobs with their first times, then what it finds questionable although the
// launcher accepts it, and tells by its exit code whether the launcher would accept the file. Run it
// after editing the file, before the launcher reads it.
//
// Its modes (the check, the plan, the probe, the status) are kept in one table, as ninja keeps its
// tools, and its exit codes in another: a code means the same whatever the mode, so that a script
// tells what happened from the code alone.

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "config/ini_file.h"
#include "config/ini_reading.h"
#include "jobs/launcher_state.h"
#include "schedule/history_journal.h"
#include "support/date_time_text.h"
#include "support/library_search.h"
#include "support/log_file.h"
#include "support/simulated_clock.h"
#include "support/version.h"
#include "findings/findings.h"
#include "tavrocheck/history.h"
#include "tavrocheck/launcher_sources.h"
#include "tavrocheck/options.h"
#include "tavrocheck/output.h"
#include "tavrocheck/plan.h"
#include "tavrocheck/probe.h"
#include "tavrocheck/rerun.h"
#include "tavrocheck/status_view.h"
#include "window/missed_slots.h"

namespace tavro {
namespace {

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

enum class ExitCode {
  Ok = 0,
  Invalid = 1,
  Usage = 2,
  Findings = 3,
  NoLauncher = 4,
  Ungated = 5,
  Ended = 6,
  GateClosed = 7,
  FileProblem = 8,
  NotDue = 9,
  NotASlot = 10,
  LaunchFailed = 11,
};

struct ExitMeaning {
  ExitCode code;
  const char* meaning;  // for the usage, its lines separated by "\n"
};

constexpr ExitMeaning kExitCodes[] = {
    {ExitCode::Ok, "done: the file is valid and nothing was found, the plan was shown or drawn, the gate is open,\n"
                   "the launcher runs"},
    {ExitCode::Invalid, "the file has errors: the launcher would stay stopped"},
    {ExitCode::Usage, "the command line is wrong, or names a job that the file does not have"},
    {ExitCode::Findings, "the file is valid, but there are findings"},
    {ExitCode::NoLauncher, "no launcher runs with the file: there is no status file, or the process that wrote it is\n"
                           "gone (the status is stale)"},
    {ExitCode::Ungated, "no source would be asked (\"mod\" names none, or the SQL Server source was switched off,\n"
                        "with --source also by its trial): the task would run ungated"},
    {ExitCode::Ended, "the launcher that wrote the status has ended (Exit, or a service stop)"},
    {ExitCode::GateClosed, "the gate is closed: the task would not be launched; with --rerun, a slot was held by\n"
                           "its gate"},
    {ExitCode::FileProblem, "the status file cannot be read or is no status of the launcher, or the picture\n"
                            "(--svg FILE) cannot be written"},
    {ExitCode::NotDue, "with --rerun: a slot is not due yet (the launcher launches it itself); nothing was run"},
    {ExitCode::NotASlot, "with --rerun: a time is no slot of the job, or the span holds none; nothing was run"},
    {ExitCode::LaunchFailed, "with --rerun: a program could not be started"},
};

struct Mode {
  const char* name;  // the option that chooses it; "(none)" for the check
  const char* what;  // for the usage
  bool (*chosen)(const CheckOptions& options);
  // Standard output takes the bytes as written: the mode writes the log's entries with their CR LF.
  bool logOutput;
  ExitCode (*run)(const CheckOptions& options);
};

// Asked only by the modes that read a file: the default one may take a question to the service manager.
std::string IniFileOf(const CheckOptions& options) {
  return FullPath(options.iniFile.empty() ? DefaultIniFile() : options.iniFile);
}

DateTime NowOf(const CheckOptions& options) { return options.now ? *options.now : LocalNow(); }

std::string ModesUsage();

ExitCode ShowHelp(const CheckOptions&) {
  std::cout << CheckUsage() << ModesUsage();
  return ExitCode::Ok;
}

ExitCode ShowVersion(const CheckOptions&) {
  std::cout << "tavrocheck (Tavro Launcher) " << kVersion << '\n';
  return ExitCode::Ok;
}

ExitCode PreviewLaunches(const CheckOptions& options) {
  const PlanOutcome outcome =
      options.svgFile
          ? DrawPlan(IniFileOf(options), NowOf(options), *options.planHours, options.job, *options.svgFile, std::cerr)
          : PrintPlan(IniFileOf(options), NowOf(options), *options.planHours, options.job, std::cout, std::cerr);
  std::cout.flush();
  switch (outcome) {
    case PlanOutcome::Done:
      return ExitCode::Ok;
    case PlanOutcome::Invalid:
      return ExitCode::Invalid;
    case PlanOutcome::NoSuchJob:
      return ExitCode::Usage;
    case PlanOutcome::NotWritten:
      break;
  }
  return ExitCode::FileProblem;
}

ExitCode ProbeOneGate(const CheckOptions& options) {
  const DateTime now = NowOf(options);
  const ProbeOutcome outcome =
      ProbeGate({IniFileOf(options), now, *options.probeTag, options.probeAt.value_or(now), options.probeMinutes},
                std::cout);
  switch (outcome) {
    case ProbeOutcome::Open:
      return ExitCode::Ok;
    case ProbeOutcome::Closed:
      return ExitCode::GateClosed;
    case ProbeOutcome::SourceUnavailable:
      return ExitCode::Ungated;
    case ProbeOutcome::Invalid:
      break;
  }
  return ExitCode::Invalid;
}

ExitCode ShowLauncherStatus(const CheckOptions& options) {
  const StatusOutcome outcome = ShowStatus(IniFileOf(options), NowOf(options), options.json, std::cout, std::cerr);
  std::cout.flush();
  switch (outcome) {
    case StatusOutcome::Running:
      return ExitCode::Ok;
    case StatusOutcome::Stale:
      return ExitCode::NoLauncher;
    case StatusOutcome::Ended:
      return ExitCode::Ended;
    case StatusOutcome::Unreadable:
      break;
  }
  return ExitCode::FileProblem;
}

HistoryRequest HistoryRequestOf(const CheckOptions& options, int defaultHours) {
  const DateTime now = NowOf(options);
  const DateTime until = options.until.value_or(now);
  return {IniFileOf(options), options.since.value_or(AddMinutes(until, -60 * defaultHours)), until, options.job};
}

// The missed slots are what today's file plans for the spans without a launcher.
ExitCode MissedSlotsUntold(const CheckOptions& options) {
  std::cout.flush();
  std::cerr << "tavrocheck: " << IniFileOf(options)
            << " has errors: the slots missed while no launcher ran cannot be told\n";
  return ExitCode::Invalid;
}

ExitCode ShowHistory(const CheckOptions& options) {
  return PrintHistory(HistoryRequestOf(options, 24), std::cout) ? ExitCode::Ok : MissedSlotsUntold(options);
}

ExitCode ShowMissed(const CheckOptions& options) {
  return PrintMissed(HistoryRequestOf(options, 24 * kHistoryDays), std::cout) ? ExitCode::Ok
                                                                               : MissedSlotsUntold(options);
}

ExitCode RunSlotsAgain(const CheckOptions& options) {
  SystemProgramStarter starter;
  const RerunSetup setup{IniFileOf(options), LocalNow(), !options.noGate, starter};
  RerunOutcome outcome = RerunOutcome::Launched;
  if (options.missed) {
    const DateTime until = options.until.value_or(setup.now);
    const std::optional<std::vector<MissedSlot>> listed = ListMissedSlots(setup.iniFile, *options.since, until);
    if (!listed) return MissedSlotsUntold(options);
    std::vector<SlotToRun> slots;
    for (const MissedSlot& missed : *listed) {
      const JobChoice job{JobKindName(missed.kind), missed.number};
      if (!options.job || (options.job->kind == job.kind && options.job->number == job.number)) {
        slots.push_back({job, missed.slot});
      }
    }
    if (slots.empty()) {
      std::cerr << "tavrocheck: no slot was missed from " << DateTimeText(*options.since) << " to "
                << DateTimeText(until) << '\n';
    } else {
      outcome = RerunSlots(setup, slots, std::cout, std::cerr);
    }
  } else if (options.slot) {
    outcome = RerunSlots(setup, {{*options.job, *options.slot}}, std::cout, std::cerr);
  } else {
    outcome = RerunSpan(setup, *options.job, *options.since, *options.until, std::cout, std::cerr);
  }
  std::cout.flush();
  switch (outcome) {
    case RerunOutcome::Launched:
      return ExitCode::Ok;
    case RerunOutcome::Held:
      return ExitCode::GateClosed;
    case RerunOutcome::Failed:
      return ExitCode::LaunchFailed;
    case RerunOutcome::Invalid:
      return ExitCode::Invalid;
    case RerunOutcome::NotDue:
      return ExitCode::NotDue;
    case RerunOutcome::NotASlot:
      return ExitCode::NotASlot;
    case RerunOutcome::NoSuchJob:
    case RerunOutcome::TooMany:
      break;
  }
  return ExitCode::Usage;
}

ExitCode CheckFile(const CheckOptions& options) {
  const DateTime now = NowOf(options);
  const std::string iniFile = IniFileOf(options);
  // Every entry of the reading carries the time of the reading.
  SimulatedClock clock(now);
  StreamLogSink log(std::cout, clock);
  LauncherState state;
  state.Settings.IniFileName = iniFile;
  // Read once, as the launcher does; the checks then look at the same file in memory.
  std::string problem;
  const IniFile ini = IniFile::Load(iniFile, &problem);
  // The SQL Server source is the one a reading tries; unless asked, its settings are only checked.
  std::optional<LauncherSources> sources;
  PrepareSourceFunction trial;
  bool tried = false;
  if (options.trySource) {
    trial = [&tried, prepare = sources.emplace(state.Settings, iniFile, log, clock, TrialConnection::Close).Trial()](
                const ProgramSettings& settings) {
      tried = true;
      prepare(settings);
    };
  }
  const ReadingVerdict verdict = ReadConfiguration(state, ini, ReadingContext{log, now, trial}, problem);
  PrintJobs(std::cout, state);
  const std::vector<Finding> findings = FindProblems({iniFile, ini, state, now, verdict.warnings});
  std::string lines;
  for (const Finding& finding : findings) EndLine(std::cout, lines.append(FindingLine(finding)));
  if (!options.trySource && state.Settings.SourceMode == kSourceMssql) {
    EndLine(std::cout, lines.append("note: [mssql] the source was not tried; --source tries it as the launcher's reading does"));
  }
  std::cout << lines;
  std::cout.flush();
  if (!state.Settings.IniValid) return ExitCode::Invalid;
  // The trial switched the source off: every gated task would run ungated.
  if (tried && state.Settings.SourceMode == kSourceNone) return ExitCode::Ungated;
  return findings.empty() ? ExitCode::Ok : ExitCode::Findings;
}

// In the order they are chosen in: the first whose option was given runs.
constexpr Mode kModes[] = {
    {"--help", "this text", [](const CheckOptions& options) { return options.help; }, false, ShowHelp},
    {"--version", "the version", [](const CheckOptions& options) { return options.version; }, false, ShowVersion},
    {"--plan", "the launches of the coming hours and their summary, or their picture (--svg)",
     [](const CheckOptions& options) { return options.planHours.has_value(); }, true, PreviewLaunches},
    {"--probe", "one gate value, read with the file's source as the launcher reads it",
     [](const CheckOptions& options) { return options.probeTag.has_value(); }, true, ProbeOneGate},
    {"--status", "what the running launcher did and does next, from its status file",
     [](const CheckOptions& options) { return options.status; }, true, ShowLauncherStatus},
    {"--history", "what became of each slot, and when the launcher stopped, from its journal",
     [](const CheckOptions& options) { return options.history; }, false, ShowHistory},
    {"--missed", "the slots missed while the launcher was stopped or not running, with their command lines",
     [](const CheckOptions& options) { return options.missed && !options.rerun; }, false, ShowMissed},
    {"--rerun", "past slots of one job launched again, beside a running launcher",
     [](const CheckOptions& options) { return options.rerun; }, true, RunSlotsAgain},
    {"(none)", "the check: the reading's log, the jobs with their first times, then the findings",
     [](const CheckOptions&) { return true; }, true, CheckFile},
};

std::string ModesUsage() {
  constexpr std::size_t kColumn = 13;
  std::string usage = "\nModes, the first that the options choose (--plan, --probe, --status, --history,\n--missed and --rerun exclude each other):\n";
  for (const Mode& mode : kModes) usage += UsageEntry(mode.name, mode.what, kColumn);
  usage += "\nExit code, one meaning in every mode:\n";
  for (const ExitMeaning& exit : kExitCodes) {
    usage += UsageEntry(std::to_string(static_cast<int>(exit.code)), exit.meaning, 5);
  }
  return usage;
}

int Check(const std::vector<std::string>& args) {
  LoadSystemLibrariesFromSystemFolder();
  CheckOptions options;
  std::string error;
  if (!ParseCheckOptions(args, options, error)) {
    std::cerr << "tavrocheck: " << error << "\ntry 'tavrocheck --help'\n";
    return static_cast<int>(ExitCode::Usage);
  }
  const Mode& mode = *std::find_if(std::begin(kModes), std::end(kModes),
                                   [&options](const Mode& candidate) { return candidate.chosen(options); });
  if (mode.logOutput) UseBinaryStandardOutput();
  return static_cast<int>(mode.run(options));
}

}  // namespace
}  // namespace tavro

int main(int argc, char** argv) { return tavro::Check(std::vector<std::string>(argv + 1, argv + argc)); }
