#include "tavrocheck_options.h"

#include <array>
#include <string_view>

#include "support/text.h"

namespace tavro {

const char* const kCheckUsage =
    "Usage: tavrocheck [--ini FILE] [--now \"YYYY-MM-DD HH:MM:SS\"] [--plan HOURS]\n"
    "       tavrocheck [--ini FILE] [--now TIME] --probe TAG [--at TIME] [--minutes N]\n"
    "\n"
    "Reads the launcher's configuration file as the launcher would and shows what it found.\n"
    "  --ini FILE   the file to read (default: tavrorun.ini in the current folder)\n"
    "  --now TIME   the time of the reading (default: now)\n"
    "  --plan HOURS preview instead what a launcher started with -A at that time would launch in\n"
    "               the next HOURS hours (1 to 87600): the real reading and timer cycle on a\n"
    "               simulated clock, every start succeeding and every gate open\n"
    "  --probe TAG  read instead the gate value of a task whose runningtag is TAG, with the source\n"
    "               the file selects, over its real connection (what to run when a task does not\n"
    "               start); --at TIME the task's slot time (default: the time of the reading),\n"
    "               --minutes N its intervallength (default 60)\n"
    "\n"
    "Output: every log entry of the reading, as the log file writes it; then one line per job,\n"
    "the fields separated by TAB characters, times as the log writes them (or \"not set\"):\n"
    "  pump_N    pump    LastTime TIME\n"
    "  batch_N   batch   LastTime TIME   NextTime TIME\n"
    "  task_N    task    LastTime TIME\n"
    "  report_N  report  DueToday yes|no\n"
    "\n"
    "With --plan: one line per launch, in order: the tick time YYYY-MM-DD HH:MM:SS, TAB, the kind and\n"
    "number (pump 1, batch 2, task 3, report 1), TAB, the command line as it would be started, and\n"
    "for a task with a runningtag TAB \"gated by TAG\".\n"
    "\n"
    "With --probe: the log entries of the reading and of the read, then one line: \"value\", TAB, the\n"
    "value, TAB, \"gate open\" (above 0: the task would be launched) or \"gate closed\".\n"
    "\n"
    "Exit code: 0 the file is valid, 1 it has errors, 2 the command line is wrong.\n"
    "With --probe: 0 the gate is open, 1 it is closed, 2 the command line is wrong.\n";

namespace {

struct KnownOption {
  const char* name;
  // Takes the option's value; false when the value is not acceptable.
  bool (*apply)(CheckOptions& options, const std::string& value);
};

constexpr std::array<KnownOption, 6> kOptions{{
    {"--ini",
     [](CheckOptions& options, const std::string& value) {
       options.iniFile = value;
       return !value.empty();
     }},
    {"--now",
     [](CheckOptions& options, const std::string& value) {
       options.now = ParseDateTimeArgument(value);
       return options.now.has_value();
     }},
    {"--plan",
     [](CheckOptions& options, const std::string& value) {
       constexpr int kMostHours = 87600;  // ten years
       if (value.empty() || value.size() > 5 || value.find_first_not_of("0123456789") != std::string::npos) {
         return false;
       }
       const int hours = std::stoi(value);
       options.planHours = hours;
       return hours >= 1 && hours <= kMostHours;
     }},
    {"--probe",
     [](CheckOptions& options, const std::string& value) {
       options.probeTag = value;
       return !value.empty();
     }},
    {"--at",
     [](CheckOptions& options, const std::string& value) {
       options.probeAt = ParseDateTimeArgument(value);
       return options.probeAt.has_value();
     }},
    {"--minutes",
     [](CheckOptions& options, const std::string& value) {
       const std::optional<std::int32_t> minutes = ParseDecimal(value);
       options.probeMinutes = minutes.value_or(-1);
       return minutes.has_value() && *minutes >= 0;
     }},
}};

const KnownOption* FindOption(const std::string& name) {
  for (const KnownOption& option : kOptions) {
    if (name == option.name) return &option;
  }
  return nullptr;
}

}  // namespace

bool ParseCheckOptions(const std::vector<std::string>& args, CheckOptions& options, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const KnownOption* option = FindOption(args[i]);
    if (option == nullptr) {
      error = "unknown argument " + args[i];
      return false;
    }
    if (i + 1 == args.size()) {
      error = args[i] + " needs a value";
      return false;
    }
    const std::string& value = args[++i];
    if (!option->apply(options, value)) {
      error = "wrong value for " + args[i - 1] + ": \"" + value + "\"";
      return false;
    }
  }
  return true;
}

std::optional<DateTime> ParseDateTimeArgument(const std::string& text) {
  constexpr std::string_view kShape = "dddd-dd-dd dd:dd:dd";
  if (text.size() != kShape.size()) return std::nullopt;
  for (std::size_t i = 0; i < kShape.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kShape[i] == 'd' ? !digit : text[i] != kShape[i]) return std::nullopt;
  }
  const auto number = [&text](std::size_t at, std::size_t length) {
    int value = 0;
    for (std::size_t i = at; i < at + length; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  CivilDateTime c;
  c.year = number(0, 4);
  c.month = number(5, 2);
  c.day = number(8, 2);
  c.hour = number(11, 2);
  c.minute = number(14, 2);
  c.second = number(17, 2);
  if (c.year < 1900 || c.month < 1 || c.month > 12 || c.day < 1 || c.day > DaysInMonth(c.year, c.month) ||
      c.hour > 23 || c.minute > 59 || c.second > 59) {
    return std::nullopt;
  }
  return MakeDateTime(c);
}

}  // namespace tavro
