#pragma once
// The choice between service and program mode at start-up.

#include <functional>
#include <string>

namespace tavro {

inline constexpr char kServiceName[] = "TavroRunner";

// The platform's answers about the service.
struct ServiceQuery {
  bool registeredAndOpenable = false;  // registered, and this process may manage it
  std::string startAccount;            // the account the service runs under; empty when unknown
  std::string userName;                // the account this process runs under
};

// Asks the platform's service manager about the service kServiceName.
ServiceQuery QueryService();

// The decision on the platform's answers: true when the service is registered and may be managed
// by this process. Writes "ServiceStartName ..." (LocalSystem in any case as SYSTEM), then "Start
// as Service" and "UserName ...", or "Start as Program", through `logEntry`.
bool RunsAsService(const ServiceQuery& answers, const std::function<void(const std::string&)>& logEntry);

// Asks the platform; the entries go to the log before the control window exists.
bool RunsAsService(const std::function<void(const std::string&)>& logEntry);

}  // namespace tavro
