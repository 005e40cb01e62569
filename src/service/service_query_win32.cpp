#include <windows.h>

#include <vector>

#include "service/service_query.h"

namespace tavro {

ServiceQuery QueryService() {
  ServiceQuery answers;
  const SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (manager == nullptr) return answers;

  const SC_HANDLE service = OpenServiceA(manager, kServiceName, SERVICE_ALL_ACCESS);
  if (service != nullptr) {
    answers.registeredAndOpenable = true;
    DWORD needed = 0;
    QueryServiceConfigA(service, nullptr, 0, &needed);
    if (needed > 0) {
      std::vector<BYTE> buffer(needed, 0);
      auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
      // A failed query leaves the account empty; the service still counts as registered.
      if (QueryServiceConfigA(service, config, needed, &needed) && config->lpServiceStartName != nullptr) {
        answers.startAccount = config->lpServiceStartName;
      }
    }
    CloseServiceHandle(service);
  }
  CloseServiceHandle(manager);

  if (answers.registeredAndOpenable) {
    char name[256] = {};
    DWORD size = sizeof name;
    if (GetUserNameA(name, &size)) answers.userName = name;
  }
  return answers;
}

}  // namespace tavro
