#include "sources/ip21_reader.h"

#include <array>
#include <cstdlib>
#include <exception>

#include "support/connection_string.h"
#include "support/date_time_text.h"
#include "support/text.h"

namespace tavro {
namespace {

std::string TwoDigits(std::int64_t value) {
  const std::string digits = std::to_string(std::llabs(value));
  return (value < 0 ? "-" : "") + std::string(digits.size() < 2 ? 1 : 0, '0') + digits;
}

// A quote and a backslash are doubled: the tag stays inside its literal whether or not the server
// takes a backslash for an escape (where it does not, a tag with a backslash finds no value and its
// gate stays closed).
std::string EscapedLiteral(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    escaped += c;
    if (c == '\'' || c == '\\') escaped += c;
  }
  return escaped;
}

// MSDASQL is the OLE DB provider for ODBC: what it would pass on is the ODBC string already.
bool NamesOdbcBridge(const std::string& provider) {
  const std::string_view name = TrimView(provider);
  constexpr std::string_view kBridge = "msdasql";
  return EqualsIgnoreCase(name, kBridge) ||
         (name.size() > kBridge.size() && name[kBridge.size()] == '.' && EqualsIgnoreCase(name.substr(0, kBridge.size()), kBridge));
}

}  // namespace

std::string FormatIp21Time(DateTime time) {
  static constexpr std::array<const char*, 12> kMonths{"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                       "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  const CivilDateTime c = ToCivil(time);
  return TwoDigits(c.day) + "-" + kMonths.at(static_cast<std::size_t>(c.month - 1)) + "-" + std::to_string(c.year) +
         " " + TwoDigits(c.hour) + ":00";
}

std::string Ip21PeriodText(std::int32_t intervalLength) { return TwoDigits(intervalLength / 60) + ":00"; }

std::string Ip21QueryText(const std::string& tag, std::int32_t intervalLength, DateTime time) {
  const std::string windowEnd = FormatIp21Time(time);
  const std::string windowStart = FormatIp21Time(AddMinutes(time, -static_cast<std::int64_t>(intervalLength)));
  return "select avg from aggregates where name='" + EscapedLiteral(tag) + "' and ts between '" + windowStart +
         "' and '" + windowEnd + "' and period=" + Ip21PeriodText(intervalLength);
}

std::string Ip21OdbcConnectionString(const std::string& configured) {
  std::string odbc;
  bool bridged = false;
  for (const ConnectionPair& pair : SplitConnectionString(configured)) {
    if (!EqualsIgnoreCase(pair.key, "Provider")) {
      odbc += (odbc.empty() ? "" : ";") + pair.text;
    } else if (NamesOdbcBridge(pair.value)) {
      bridged = true;
    } else {
      throw DatabaseError("The connection string names the OLE DB provider " + pair.value +
                          ", which this launcher cannot use: it reaches IP21 through ODBC. Give an ODBC "
                          "connection string (DSN=... or Driver={...};...), alone or after Provider=MSDASQL.");
    }
  }
  return bridged ? odbc : configured;
}

double Ip21Reader::ReadIp21Value(const std::string& tag, std::int32_t intervalLength, DateTime time) {
  if (settings_.DebugMode) {
    log_.Entry("Tag: " + tag);
    log_.Write("Time: " + DateTimeText(time), false);
  }
  database_.Close();
  std::string query;  // as far as it was built, for the error entry
  try {
    database_.SetConnectionString(Ip21OdbcConnectionString(settings_.Ip21ConnectionString));
    query = Ip21QueryText(tag, intervalLength, time);
    database_.SetSql(query, ParameterParsing::Off);
    database_.Open();
    database_.OpenQuery();
    outage_.Answered();
    double result = kNoValueFound;
    const bool found = database_.RecordCount() > 0;
    if (found) {
      database_.Last();
      result = database_.FirstColumnAsDouble();
      if (settings_.DebugMode) log_.Write("Value: " + NumberText(result), false);
    } else {
      log_.Entry("No value for " + tag + " time " + FormatIp21Time(time));
      if (settings_.DebugMode) log_.Write(query, false);
    }
    database_.Close();
    if (!found) {
      // The window as the query asks for it: its ends to the hour.
      const auto hour = [](DateTime t) { return AddMinutes(StartOfDay(t), ToCivil(t).hour * 60); };
      return Failed(result, NoValueFound(hour(AddMinutes(time, -static_cast<std::int64_t>(intervalLength))), hour(time)));
    }
    return result;
  } catch (const std::exception& error) {
    outage_.Failed(error, [&] {
      log_.Entry(std::string("IP21 error:\r") + error.what());
      log_.Write("query:\r" + query, false);
    });
    database_.Close();
    return Failed(kNoValueFound, SourceFailed(std::string("IP21 error: ") + error.what()));
  }
}

}  // namespace tavro
