#pragma once
// The keys of every section of the configuration file, in the order the reading takes them (the
// order shows only in the debug log).

#include <array>
#include <string>
#include <vector>

#include "config/key_rules.h"
#include "jobs/job_records.h"
#include "jobs/launcher_state.h"

namespace tavro {

// Used for "phd" and "pi" when their "host" key is missing.
inline constexpr const char* kDefaultHost = "localhost";

inline constexpr std::array<KeyRule<TPumpa>, 11> kPumpKeys{{
    IntegerKey("launchperiod", &TPumpa::launchperiod, 60, {1, 1440}),
    IntegerKey("phase", &TPumpa::phase, 10, kNotNegative),
    IntegerKey("intervallength", &TPumpa::intervallength, 60, kNotNegative),
    BooleanKey("averages", &TPumpa::averages, true),
    BooleanKey("recalculate", &TPumpa::recalculate, false),
    TextKey("exename", &TPumpa::exename),
    TextKey("source", &TPumpa::source),
    TextKey("target", &TPumpa::target),
    TextKey("tagfile", &TPumpa::tagfile),
    TextKey("overlap", &TPumpa::overlap),
    IntegerKey("maxruntime", &TPumpa::maxruntime, kMaxRunTimeAsProgram, {0, kLongestMaxRunTimeMinutes}),
}};

inline constexpr std::array<KeyRule<TBec>, 11> kBatchKeys{{
    IntegerKey("type", &TBec::type, 0, {0, 2}),
    IntegerKey("day", &TBec::day, 1, {1, 7}),
    IntegerKey("margins", &TBec::margins, 1, {0, 3}),
    IntegerKey("intervallength", &TBec::intervallength, 60, kNotNegative),
    IntegerKey("phase", &TBec::phase, 10, kNotNegative),
    TextKey("exename", &TBec::exename),
    TextKey("taskname", &TBec::taskname),
    BooleanKey("exporttohistory", &TBec::exporttohistory, false),
    BooleanKey("exporttoexternal", &TBec::exporttoexternal, false),
    TextKey("overlap", &TBec::overlap),
    IntegerKey("maxruntime", &TBec::maxruntime, kMaxRunTimeAsProgram, {0, kLongestMaxRunTimeMinutes}),
}};

inline constexpr std::array<KeyRule<TUkol>, 11> kTaskKeys{{
    IntegerKey("launchperiod", &TUkol::launchperiod, 60, {1, std::numeric_limits<std::int32_t>::max()}),
    IntegerKey("phase", &TUkol::phase, 10, kNotNegative),
    IntegerKey("intervallength", &TUkol::intervallength, 60, kNotNegative),
    TextKey("exename", &TUkol::exename),
    TextKey("taskname", &TUkol::taskname),
    BooleanKey("exporttohistory", &TUkol::exporttohistory, false),
    BooleanKey("exporttoexternal", &TUkol::exporttoexternal, false),
    BooleanKey("kordden", &TUkol::kordden, false),
    TextKey("runningtag", &TUkol::runningtag),
    TextKey("overlap", &TUkol::overlap),
    IntegerKey("maxruntime", &TUkol::maxruntime, kMaxRunTimeAsProgram, {0, kLongestMaxRunTimeMinutes}),
}};

inline constexpr std::array<KeyRule<TRepUkol>, 9> kReportKeys{{
    TextKey("minute", &TRepUkol::minute, "10"),
    TextKey("hour", &TRepUkol::hour, "1"),
    TextKey("day", &TRepUkol::day, "*"),
    TextKey("month", &TRepUkol::month, "*"),
    TextKey("dayofweek", &TRepUkol::dayofweek, "*"),
    TextKey("template", &TRepUkol::template_),
    IntegerKey("length", &TRepUkol::length, 0, kNotNegative),
    TextKey("overlap", &TRepUkol::overlap),
    IntegerKey("maxruntime", &TRepUkol::maxruntime, kMaxRunTimeAsProgram, {0, kLongestMaxRunTimeMinutes}),
}};

inline constexpr std::array<KeyRule<ProgramSettings>, 3> kPhdKeys{{
    TextKey("host", &ProgramSettings::PhdHost, kDefaultHost),
    TextKey("user", &ProgramSettings::PhdUser),
    TextKey("password", &ProgramSettings::PhdPassword),  // Base64
}};

inline constexpr std::array<KeyRule<ProgramSettings>, 6> kPiKeys{{
    TextKey("host", &ProgramSettings::PiHost, kDefaultHost),
    TextKey("user", &ProgramSettings::PiUser),
    TextKey("password", &ProgramSettings::PiPassword),  // Base64
    IntegerKey("apiado", &ProgramSettings::PiAccess, kPiApi, {kPiApi, kPiSdk}),
    TextKey("driver", &ProgramSettings::PiDriver),  // the ODBC driver that reaches PI (apiado=1)
    TextKey("odbc", &ProgramSettings::PiOdbcAttributes),
}};

inline constexpr std::array<KeyRule<ProgramSettings>, 1> kIp21Keys{{
    TextKey("constr", &ProgramSettings::Ip21ConnectionString),
}};

// The eight required settings first, in the order of their checks.
inline constexpr std::array<KeyRule<ProgramSettings>, 10> kMssqlKeys{{
    TextKey("host", &ProgramSettings::MssqlHost),
    TextKey("user", &ProgramSettings::MssqlUser),
    TextKey("password", &ProgramSettings::MssqlPassword),
    TextKey("database", &ProgramSettings::MssqlDatabase),
    TextKey("table", &ProgramSettings::MssqlTable),
    TextKey("tagcolumn", &ProgramSettings::MssqlTagColumn),
    TextKey("timecolumn", &ProgramSettings::MssqlTimeColumn),
    TextKey("valuecolumn", &ProgramSettings::MssqlValueColumn),
    TextKey("driver", &ProgramSettings::MssqlDriver),  // the ODBC driver; empty: the platform's usual one
    TextKey("odbc", &ProgramSettings::MssqlOdbcAttributes),  // more connection attributes ("Port=1433")
}};

// One key for the checker: what the tables say of it, without the field it fills.
struct KeyDescription {
  std::string name;
  KeyKind kind;
  ValueRange sensible;
  std::int32_t numberDefault = 0;  // what an integer or boolean key gives when its value is no number
};

// A kind of section: "program", "phd" ..., or a job family's head ("pumps") or job sections
// ("pump_" followed by a number, numbered true).
struct SectionDescription {
  std::string name;
  bool numbered = false;
  std::vector<KeyDescription> keys;
};

// Every section the reading knows, with its keys.
const std::vector<SectionDescription>& KnownSections();

}  // namespace tavro
