#include "app/run_mode.h"

#include <algorithm>
#include <cctype>

#include "support/log_file.h"

namespace tavro {
namespace {

bool IsLocalSystem(const std::string& account) {
  static constexpr char kLocalSystem[] = "LocalSystem";
  return account.size() == sizeof kLocalSystem - 1 &&
         std::equal(account.begin(), account.end(), kLocalSystem, [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
         });
}

}  // namespace

bool RunsAsService(const ServiceQuery& answers, const std::function<void(const std::string&)>& logEntry) {
  if (answers.registeredAndOpenable) {
    logEntry("ServiceStartName " + (IsLocalSystem(answers.startAccount) ? std::string("SYSTEM") : answers.startAccount));
    logEntry("Start as Service");
    logEntry("UserName " + answers.userName);
  } else {
    logEntry("Start as Program");
  }
  return answers.registeredAndOpenable;
}

bool RunsAsService(const std::string& logFileName) {
  return RunsAsService(QueryService(), [&](const std::string& message) { LogEntry(logFileName, message); });
}

}  // namespace tavro
