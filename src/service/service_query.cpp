#include "service/service_query.h"

#include "support/text.h"

namespace tavro {

bool RunsAsService(const ServiceQuery& answers, const std::function<void(const std::string&)>& logEntry) {
  if (answers.registeredAndOpenable) {
    const bool localSystem = EqualsIgnoreCase(answers.startAccount, "LocalSystem");
    logEntry("ServiceStartName " + (localSystem ? std::string("SYSTEM") : answers.startAccount));
    logEntry("Start as Service");
    logEntry("UserName " + answers.userName);
  } else {
    logEntry("Start as Program");
  }
  return answers.registeredAndOpenable;
}

bool RunsAsService(const std::function<void(const std::string&)>& logEntry) {
  return RunsAsService(QueryService(), logEntry);
}

}  // namespace tavro
