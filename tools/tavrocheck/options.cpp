#include "tavrocheck/options.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>

#include "config/job_sections.h"
#include "support/date_time_text.h"
#include "support/text.h"
#include "tavrocheck/installed_ini.h"
#include "tavrocheck/plan_picture.h"

namespace tavro {

namespace {

constexpr const char* kUsageHead =
    "Usage: tavrocheck [--ini FILE] [--now \"YYYY-MM-DD HH:MM:SS\"] [--source]\n"
    "       tavrocheck [--ini FILE] [--now TIME] --plan HOURS [--job KIND N]\n"
    "       tavrocheck [--ini FILE] [--now TIME] --plan HOURS [--job KIND N] --svg FILE\n"
    "       tavrocheck [--ini FILE] [--now TIME] --probe TAG [--at TIME] [--minutes N]\n"
    "       tavrocheck [--ini FILE] [--now TIME] --status [--json]\n"
    "       tavrocheck [--ini FILE] [--now TIME] --history [--since TIME] [--until TIME] [--job KIND N]\n"
    "       tavrocheck [--ini FILE] [--now TIME] --missed [--since TIME] [--until TIME] [--job KIND N]\n"
    "       tavrocheck [--ini FILE] --rerun --job KIND N (--slot TIME | --since TIME --until TIME)\n"
    "                  [--nogate]\n"
    "       tavrocheck [--ini FILE] --rerun --missed --since TIME [--until TIME] [--job KIND N] [--nogate]\n"
    "       tavrocheck --help | --version\n"
    "\n"
    "Reads the launcher's configuration file as the launcher would, shows what it found, then what\n"
    "looks wrong although the launcher accepts it.\n";

constexpr const char* kUsageTail =
    "A value may also follow its option after \"=\": --ini=plant.ini.\n"
    "\n"
    "Output: every log entry of the reading, as the log file writes it; then one line per job,\n"
    "the fields separated by TAB characters, times as the log writes them (or \"not set\"):\n"
    "  pump_N    pump    LastTime TIME\n"
    "  batch_N   batch   LastTime TIME   NextTime TIME\n"
    "  task_N    task    LastTime TIME\n"
    "  report_N  report  DueToday yes|no\n"
    "then one line per finding, something the launcher passes over in silence:\n"
    "  finding: [SECTION] KEY: what is wrong and what was expected\n"
    "(\"[SECTION] \" and \"KEY\" left out when the finding is about the whole file or section):\n"
    "sections and keys that nothing reads, values that are no number or outside a sensible range,\n"
    "an unknown source in \"mod\", phases that defeat their job's period, texts that the command line\n"
    "splits or changes (blanks, double quotes), report calendars that never match (with the report's\n"
    "next run), programs (\"exename\") that cannot be started, a file that cannot be opened or is\n"
    "UTF-16 text.\n"
    "\n"
    "With --plan: one line per launch, in order: the tick time YYYY-MM-DD HH:MM:SS, TAB, the kind and\n"
    "number (pump 1, batch 2, task 3, report 1), TAB, the command line as it would be started, and\n"
    "for a task with a runningtag TAB \"gated by TAG\". Then a summary, each line beginning with \"# \":\n"
    "the launches in all, then per job (kind and number, TAB, its launches, TAB, its taskname, a\n"
    "report's template or a pump's program, and TAB \"gated by TAG\"), then per kind of job.\n"
    "With --svg: nothing on the output; FILE holds an SVG 1.1 picture, one row per job.\n"
    "\n"
    "With --probe: the log entries of the reading and of the read, then one line: \"value\", TAB, the\n"
    "value, TAB, \"gate open\" (above 0: the task would be launched) or \"gate closed\".\n"
    "\n"
    "With --history: one line per entry of the journal in the span, in order, and one per missed\n"
    "slot: the time (ISO 8601 with its offset; a missed slot's own time), TAB, the job (pump 1, or\n"
    "\"launcher\"), TAB, the slot's time, TAB, the outcome, TAB, the command line.\n"
    "With --missed: one line per missed slot, oldest first: the slot's time, TAB, the job, TAB, why\n"
    "(\"missed: the launcher was stopped (Stop command)\", \"missed: no launcher ran (killed)\"), TAB,\n"
    "the command line; then \"# N missed slots from TIME to TIME\".\n"
    "With --rerun: the log entries of the reading, then those of the re-run, which also go to the\n"
    "launcher's daily log beside the file: one entry \"Re-run asked by tavrocheck (process PID): ...\",\n"
    "then per slot the entry the launcher writes for a launch, after \"Re-run: \" (\"... launched\n"
    "successfully\", \"... launch failed, return value N\", \"... NOT launched due to value of TAG (V)\").\n"
    "A slot is the time a pump's or task's program is given, a batch's or report's run time.\n";

// Digits only, from 1 to `highest`.
std::optional<int> CountingNumber(const std::string& text, int highest) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  const int number = std::stoi(text);
  if (number < 1 || number > highest) return std::nullopt;
  return number;
}

struct KnownOption {
  const char* name;
  const char* values;  // what follows the name, as the usage writes it; "" for none
  const char* expected;  // said when a value is not acceptable
  // The usage's explanation, its lines separated by "\n"; none for an alias left out of the usage.
  const char* explanation;
  // Takes the option's values (as many as `values` names); false when they are not acceptable.
  bool (*apply)(CheckOptions& options, const std::vector<std::string>& values);
};

// The apply of an option without values.
template <bool CheckOptions::*flag>
bool SetFlag(CheckOptions& options, const std::vector<std::string>& /*values*/) {
  options.*flag = true;
  return true;
}

constexpr std::array<KnownOption, 21> kOptions{{
    {"--ini", "FILE", "a file name",
     "the file to read (default: tavrorun.ini in the current folder, else the\n"
     "installed launcher's; on Windows the one of the registered service TavroRunner)",
     [](CheckOptions& options, const std::vector<std::string>& values) {
       options.iniFile = values[0];
       return !values[0].empty();
     }},
    {"--now", "TIME", "\"YYYY-MM-DD HH:MM:SS\"",
     "the time of the reading (default: now)",
     [](CheckOptions& options, const std::vector<std::string>& values) {
       options.now = ParseIsoDateTime(values[0]);
       return options.now.has_value();
     }},
    {"--plan", "HOURS", "1 to 87600 hours",
     "preview instead what a launcher started with -A at that time would launch in\n"
     "the next HOURS hours (1 to 87600): the real reading and timer cycle on a\n"
     "simulated clock, every start succeeding and every gate open",
     [](CheckOptions& options, const std::vector<std::string>& values) {
       constexpr int kMostHours = 87600;  // ten years
       options.planHours = CountingNumber(values[0], kMostHours);
       return options.planHours.has_value();
     }},
    {"--job", "KIND N", "pump, batch, task or report and a job number from 1",
     "with --plan, --history, --missed: only that job's launches or slots (KIND pump,\n"
     "batch, task or report); with --rerun: the job to run again",
     [](CheckOptions& options, const std::vector<std::string>& values) {
       constexpr std::array<const char*, 4> kKinds{"pump", "batch", "task", "report"};
       const std::optional<int> number = CountingNumber(values[1], kMaxJobCount);
       if (std::find(kKinds.begin(), kKinds.end(), values[0]) == kKinds.end() || !number) return false;
       options.job = JobChoice{values[0], *number};
       return true;
     }},
    {"--svg", "FILE", "a file name",
     "with --plan: draw the launches instead as a timeline in FILE, a picture in SVG\n"
     "(one row per job, a mark per launch, an hour grid; at most 168 hours)",
     [](CheckOptions& options, const std::vector<std::string>& values) {
       options.svgFile = values[0];
       return !values[0].empty();
     }},
    {"--probe", "TAG", "a tag name",
     "read instead the gate value of a task whose runningtag is TAG, with the source\n"
     "the file selects, over its real connection (what to run when a task does not\n"
     "start)",
     [](CheckOptions& options, const std::vector<std::string>& values) {
       options.probeTag = values[0];
       return !values[0].empty();
     }},
    {"--at", "TIME", "\"YYYY-MM-DD HH:MM:SS\"",
     "with --probe: the task's slot time (default: the time of the reading)",
     [](CheckOptions& options, const std::vector<std::string>& values) {
       options.probeAt = ParseIsoDateTime(values[0]);
       return options.probeAt.has_value();
     }},
    {"--minutes", "N", "minutes from 0",
     "with --probe: the task's intervallength (default 60)",
     [](CheckOptions& options, const std::vector<std::string>& values) {
       const std::optional<std::int32_t> minutes = ParseDecimal(values[0]);
       options.probeMinutes = minutes.value_or(-1);
       return minutes.has_value() && *minutes >= 0;
     }},
    {"--status", "", "",
     "show instead the status of the launcher running with the file (FILE with the\n"
     "extension .status): NEXT and LEFT (when each job is next due), LAST and PASSED\n"
     "(its last launch), JOB, RESULT (launched, failed, held by a gate; how the last\n"
     "run ended) and a summary line; LEFT and PASSED count from --now",
     SetFlag<&CheckOptions::status>},
    {"--rerun", "", "",
     "run instead past slots of one job again (--job), beside a running launcher: the\n"
     "exact command lines, gates read as the launcher reads them, each launch logged\n"
     "in the launcher's daily log, marked \"Re-run: \"; a slot not yet due, or a time\n"
     "that is no slot of the job, runs nothing (exit codes 9 and 10)",
     SetFlag<&CheckOptions::rerun>},
    {"--slot", "TIME", "\"YYYY-MM-DD HH:MM:SS\"",
     "with --rerun: the one slot to run again",
     [](CheckOptions& options, const std::vector<std::string>& values) {
       options.slot = ParseIsoDateTime(values[0]);
       return options.slot.has_value();
     }},
    {"--nogate", "", "",
     "with --rerun: launch gated tasks without reading their gate",
     SetFlag<&CheckOptions::noGate>},
    {"--source", "", "",
     "with the check: try the SQL Server source as the launcher's reading does (its\n"
     "connection and a query of its table), so that \"MSSQL will not be used\" shows\n"
     "now; without it the check says in one line that the source was not tried",
     SetFlag<&CheckOptions::trySource>},
    {"--json", "", "",
     "with --status: the status file as it is (its fields: man tavrocheck)",
     SetFlag<&CheckOptions::json>},
    {"--history", "", "",
     "show instead what became of every slot of each job, from the launcher's\n"
     "journal (FILE-YYYYMMDD.history beside FILE, 31 days kept): launched, launch\n"
     "failed, held by a value, held because the source failed, passed over, how each\n"
     "run ended, missed while the launcher was stopped or not running; and when the\n"
     "launcher started, stopped and ended",
     SetFlag<&CheckOptions::history>},
    {"--missed", "", "",
     "list instead the slots missed while the launcher was stopped or not running,\n"
     "less those launched since (a catch-up), with the command lines they would have\n"
     "had (the configuration as it is now)",
     SetFlag<&CheckOptions::missed>},
    {"--since", "TIME", "\"YYYY-MM-DD HH:MM:SS\"",
     "with --history, --missed: from then (default: 24 hours before --now for\n"
     "--history, 31 days for --missed); with --rerun and --until: every slot from then",
     [](CheckOptions& options, const std::vector<std::string>& values) {
       options.since = ParseIsoDateTime(values[0]);
       return options.since.has_value();
     }},
    {"--until", "TIME", "\"YYYY-MM-DD HH:MM:SS\"",
     "with --history, --missed: up to then (default: --now); with --rerun and --since:\n"
     "every slot up to then (included)",
     [](CheckOptions& options, const std::vector<std::string>& values) {
       options.until = ParseIsoDateTime(values[0]);
       return options.until.has_value();
     }},
    {"--help", "", "",
     "show this text",
     SetFlag<&CheckOptions::help>},
    {"-h", "", "",
     nullptr,
     SetFlag<&CheckOptions::help>},
    {"--version", "", "",
     "show the version",
     SetFlag<&CheckOptions::version>},
}};

std::size_t ValueCount(const KnownOption& option) {
  const std::string_view values = option.values;
  return values.empty() ? 0 : 1 + static_cast<std::size_t>(std::count(values.begin(), values.end(), ' '));
}

const KnownOption* FindOption(std::string_view name) {
  for (const KnownOption& option : kOptions) {
    if (name == option.name) return &option;
  }
  return nullptr;
}

std::string Quoted(const std::vector<std::string>& values) {
  std::string text;
  for (const std::string& value : values) text += (text.empty() ? "\"" : " \"") + value + "\"";
  return text;
}

// A re-run names its job and either one slot or a span, and goes by the clock: a slot in the future
// is one the launcher has yet to launch itself.
bool RerunOptionsFit(const CheckOptions& options, std::string& error) {
  if (options.missed) {
    // The missed slots of a span, of every job or of the one chosen.
    if (options.slot || !options.since) {
      error = "--rerun --missed needs --since TIME (and takes no --slot)";
    } else if (options.until && *options.until < *options.since) {
      error = "--until lies before --since";
    } else if (options.now) {
      error = "--rerun goes by the clock: --now does not work with it";
    } else {
      return true;
    }
    return false;
  }
  if (!options.job) {
    error = "--rerun needs --job KIND N";
  } else if (options.slot.has_value() == (options.since || options.until)) {
    error = "--rerun needs either --slot TIME or --since TIME --until TIME";
  } else if (!options.slot && !(options.since && options.until)) {
    error = "--rerun needs both --since and --until";
  } else if (options.since && *options.until < *options.since) {
    error = "--until lies before --since";
  } else if (options.now) {
    error = "--rerun goes by the clock: --now does not work with it";
  } else if (options.trySource || options.svgFile || options.json || options.probeAt ||
             options.probeMinutes != kDefaultProbeMinutes) {
    error = "--rerun takes only --ini, --job, --slot, --since, --until and --nogate";
  } else {
    return true;
  }
  return false;
}

}  // namespace

std::string UsageEntry(const std::string& name, const char* explanation, std::size_t column) {
  std::string line = "  " + name;
  line.resize(std::max(line.size() + 1, column), ' ');
  // Each further line of an explanation starts in its column.
  for (const char* c = explanation; *c != '\0'; ++c) {
    line += *c;
    if (*c == '\n') line.append(column, ' ');
  }
  return line + '\n';
}

std::string CheckUsage() {
  constexpr std::size_t kExplanationColumn = 16;
  std::string usage = kUsageHead;
  for (const KnownOption& option : kOptions) {
    if (option.explanation == nullptr) continue;
    const std::string name = std::string(option.name) + (*option.values != '\0' ? " " : "") + option.values;
    usage += UsageEntry(name, option.explanation, kExplanationColumn);
  }
  return usage + kUsageTail;
}

bool ParseCheckOptions(const std::vector<std::string>& args, CheckOptions& options, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    // "--name=VALUE" gives the first value in the same argument.
    const std::size_t equals = args[i].find('=');
    const std::string name = args[i].substr(0, equals);
    const KnownOption* option = FindOption(name);
    if (option == nullptr) {
      error = "unknown argument " + args[i];
      return false;
    }
    const std::size_t count = ValueCount(*option);
    std::vector<std::string> values;
    if (equals != std::string::npos) {
      if (count == 0) {
        error = name + " takes no value";
        return false;
      }
      values.push_back(args[i].substr(equals + 1));
    }
    while (values.size() < count && i + 1 < args.size()) values.push_back(args[++i]);
    if (values.size() < count) {
      error = name + " needs " + option->values;
      return false;
    }
    if (!option->apply(options, values)) {
      error = "wrong value for " + name + ": " + Quoted(values) + " (expected " + option->expected + ")";
      return false;
    }
  }
  // Each of these chooses what the run does: two of them would leave one unsaid.
  if (options.planHours.has_value() + options.probeTag.has_value() + options.status + options.history +
          (options.missed && !options.rerun) + options.rerun > 1) {
    error = "--plan, --probe, --status, --history, --missed and --rerun exclude each other";
    return false;
  }
  if (options.rerun) return RerunOptionsFit(options, error);
  if (options.slot || options.noGate) {
    error = "--slot and --nogate work only with --rerun";
    return false;
  }
  if (options.trySource && (options.planHours || options.probeTag || options.status || options.history ||
                            options.missed)) {
    error = "--source works only with the check (--probe always tries the source)";
    return false;
  }
  if (options.json && !options.status) {
    error = "--json works only with --status";
    return false;
  }
  if (options.svgFile && !options.planHours) {
    error = "--svg works only with --plan";
    return false;
  }
  if (options.job && !options.planHours && !options.history && !options.missed) {
    error = "--job works only with --plan, --history, --missed and --rerun";
    return false;
  }
  if ((options.since || options.until) && !options.history && !options.missed) {
    error = "--since and --until work only with --history, --missed and --rerun";
    return false;
  }
  if (options.since && options.until && *options.until < *options.since) {
    error = "--until comes before --since";
    return false;
  }
  if (options.svgFile && *options.planHours > kMostPictureHours) {
    error = "--svg draws at most " + std::to_string(kMostPictureHours) + " hours (a week); try --plan " +
            std::to_string(kMostPictureHours) + " or fewer";
    return false;
  }
  if ((options.probeAt || options.probeMinutes != kDefaultProbeMinutes) && !options.probeTag) {
    error = "--at and --minutes work only with --probe";
    return false;
  }
  return true;
}

std::string DefaultIniFile() {
  constexpr const char* kHere = "tavrorun.ini";
  std::error_code error;
  if (std::filesystem::exists(kHere, error)) return kHere;
  const std::string installed = InstalledIniFile();
  return !installed.empty() && std::filesystem::exists(installed, error) ? installed : kHere;
}

}  // namespace tavro
