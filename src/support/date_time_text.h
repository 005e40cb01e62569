#pragma once
// Texts made of date-times and numbers: fixed patterns for command lines and the log stamp,
// regional forms for what the log tells a reader.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "support/date_time.h"
#include "support/time_zone.h"

namespace tavro {

// The two command-line patterns. Letter groups: dd day, mm month, yyyy year, hh hour (00-23),
// nn minute, ss second; text in double quotes is copied as it stands.
inline constexpr const char* kPumpTimePattern = R"(dd"."mm"."yyyy"+"hh":"nn)";
inline constexpr const char* kTaskTimePattern = R"(dd"."mm"."yyyy"+"hh"."nn)";

std::string FormatDateTime(std::string_view pattern, DateTime value);
// The same text appended to `out`: a command line is built in one string.
void AppendDateTime(std::string& out, std::string_view pattern, DateTime value);
// The decimal digits of `value`, as std::to_string writes them, appended to `out`.
void AppendDecimal(std::string& out, int value);

// "yyyy.mm.dd hh:nn:ss", the time separator being the system's. The text stays as it is until the
// next call on the same thread: an entry copies it into its own text.
const std::string& LogStamp(DateTime value);

// "yyyy-mm-dd hh:nn:ss", or "yyyy-mm-dd" alone.
std::string IsoDateTimeText(DateTime value, bool withTime = true);
// The inverse of IsoDateTimeText with the time: "YYYY-MM-DD HH:MM:SS", a real date and time of day.
std::optional<DateTime> ParseIsoDateTime(const std::string& text);

// ISO 8601 with the offset from UTC, "2026-10-25T02:30:00+01:00", as times leave the process (the
// status record); and its inverse.
std::string ZonedTimeText(const ZonedTime& value);
std::optional<ZonedTime> ParseZonedTime(std::string_view text);

// The system's time separator (":" on Linux, the regional setting on Windows).
char TimeSeparator();

// The system's short date, a blank and its long time; the time left out at 00:00:00 in whole seconds.
// Linux: "yyyy-mm-dd hh:nn:ss".
std::string DateTimeText(DateTime value);

// Shortest general decimal form with up to 15 significant digits and the system's decimal separator.
std::string NumberText(double value);

// A duration in seconds with one decimal, "12.3", as the log writes how long a run took.
std::string SecondsText(std::int64_t milliseconds);

}  // namespace tavro
