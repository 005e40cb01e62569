#include "service/service_query_posix.h"

#include <pwd.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/text.h"

namespace tavro {
namespace {

// systemd gives every process it starts for a unit INVOCATION_ID, and a Type=notify unit's
// NOTIFY_SOCKET: whatever the account (a unit's User=), such a process is the service.
bool StartedByServiceManager() {
  for (const char* name : {"NOTIFY_SOCKET", "INVOCATION_ID"}) {
    if (const char* value = std::getenv(name); value != nullptr && *value != '\0') return true;
  }
  return false;
}

std::string AccountName(uid_t uid) {
  if (const passwd* entry = getpwuid(uid); entry != nullptr && entry->pw_name != nullptr) return entry->pw_name;
  return std::to_string(uid);  // an account without a name is still an account
}

}  // namespace

std::string ServiceUnitFolder() {
  const char* folder = std::getenv("TAVRORUN_UNIT_DIR");
  return folder != nullptr && *folder != '\0' ? folder : kSystemUnitFolder;
}

std::string ServiceUnitPath(const std::string& unitFolder) {
  return unitFolder + "/" + kServiceName + ".service";
}

std::string UnitStartAccount(const std::string& unitText) {
  std::istringstream lines(unitText);
  std::string line;
  std::string section;
  std::string account;
  while (std::getline(lines, line)) {
    line = TrimBlanks(line);
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    if (line.front() == '[') {
      section = line;
      continue;
    }
    const auto equals = line.find('=');
    if (section == "[Service]" && equals != std::string::npos && TrimBlanks(line.substr(0, equals)) == "User") {
      account = TrimBlanks(line.substr(equals + 1));
    }
  }
  return account.empty() ? "root" : account;
}

ServiceQuery QueryServiceUnit(const std::string& unitFolder) {
  ServiceQuery answers;
  std::ifstream unit(ServiceUnitPath(unitFolder), std::ios::binary);
  // Root started by hand takes the service's part too, and is told that the manager starts it.
  if (!unit || (geteuid() != 0 && !StartedByServiceManager())) return answers;

  answers.registeredAndOpenable = true;
  std::ostringstream text;
  text << unit.rdbuf();
  answers.startAccount = UnitStartAccount(text.str());
  answers.userName = AccountName(geteuid());
  return answers;
}

ServiceQuery QueryService() { return QueryServiceUnit(ServiceUnitFolder()); }

}  // namespace tavro
