#include "support/system_log_posix.h"

#include <syslog.h>

#include "support/process_path.h"

namespace tavro {

void WriteSystemLog(const std::string& identifier, const std::string& message) {
  // The identifier is only borrowed by openlog, so the log is closed again before it goes away.
  openlog(identifier.c_str(), LOG_PID, LOG_DAEMON);
  syslog(LOG_ERR, "%s", message.c_str());
  closelog();
}

std::string ExecutableIdentifier() {
  const std::string path = CurrentExecutablePath();
  return path.substr(path.rfind('/') + 1);  // npos + 1: a name without a folder is all name
}

}  // namespace tavro
