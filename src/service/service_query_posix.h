#pragma once
// Linux: the service is the systemd unit TavroRunner.service in the system unit folder. With the unit
// installed, a process takes the service's part when systemd started it (under the unit's User=,
// whichever account that is) or when it runs as root.

#include <string>

#include "service/service_query.h"

namespace tavro {

inline constexpr char kSystemUnitFolder[] = "/etc/systemd/system";

// The folder of the service's unit: the environment variable TAVRORUN_UNIT_DIR when it is set and
// not empty (staged installs, tests), else the system unit folder.
std::string ServiceUnitFolder();

// The path of the service's unit file in `unitFolder`.
std::string ServiceUnitPath(const std::string& unitFolder);

// QueryService with the unit looked for in `unitFolder`.
ServiceQuery QueryServiceUnit(const std::string& unitFolder);

// The account a unit's service runs under: the last User= of its [Service] section, "root" when
// there is none or the last one is empty (systemd's own default).
std::string UnitStartAccount(const std::string& unitText);

}  // namespace tavro
