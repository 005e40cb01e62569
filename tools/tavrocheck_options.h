#pragma once
// The command line of tavrocheck: a table of options, each taking one value.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/date_time.h"

namespace tavro {

struct CheckOptions {
  std::string iniFile = "tavrorun.ini";  // in the current folder
  std::optional<DateTime> now;           // the time of the reading; the clock's when not given
  std::optional<int> planHours;          // preview the launches of so many hours instead
  std::optional<std::string> probeTag;   // read this tag's gate value instead
  std::optional<DateTime> probeAt;       // its slot time; the time of the reading when not given
  std::int32_t probeMinutes = 60;        // its interval length
};

extern const char* const kCheckUsage;

// The arguments after the program name. On a usage error gives false and says why in `error`.
bool ParseCheckOptions(const std::vector<std::string>& args, CheckOptions& options, std::string& error);

// "YYYY-MM-DD HH:MM:SS", a real date and time of day.
std::optional<DateTime> ParseDateTimeArgument(const std::string& text);

}  // namespace tavro
