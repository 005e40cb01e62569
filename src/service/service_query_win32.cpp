#include <windows.h>

#include <vector>

#include "service/service_query.h"
#include "service/service_query_win32.h"
#include "support/text.h"

namespace tavro {
namespace {

// The service's configuration in the buffer that also holds its texts; empty when it cannot be read.
std::vector<BYTE> ServiceConfig(SC_HANDLE service) {
  DWORD needed = 0;
  QueryServiceConfigA(service, nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed, 0);
  if (needed == 0 || !QueryServiceConfigA(service, reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data()), needed,
                                          &needed)) {
    buffer.clear();
  }
  return buffer;
}

const QUERY_SERVICE_CONFIGA& ConfigOf(const std::vector<BYTE>& buffer) {
  return *reinterpret_cast<const QUERY_SERVICE_CONFIGA*>(buffer.data());
}

}  // namespace

ServiceQuery QueryService() {
  ServiceQuery answers;
  const SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (manager == nullptr) return answers;

  const SC_HANDLE service = OpenServiceA(manager, kServiceName, SERVICE_ALL_ACCESS);
  if (service != nullptr) {
    answers.registeredAndOpenable = true;
    // A failed query leaves the account empty; the service still counts as registered.
    const std::vector<BYTE> config = ServiceConfig(service);
    if (!config.empty() && ConfigOf(config).lpServiceStartName != nullptr) {
      answers.startAccount = ConfigOf(config).lpServiceStartName;
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

std::string RegisteredServiceProgram() {
  const SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (manager == nullptr) return "";
  std::string program;
  if (const SC_HANDLE service = OpenServiceA(manager, kServiceName, SERVICE_QUERY_CONFIG); service != nullptr) {
    const std::vector<BYTE> config = ServiceConfig(service);
    if (!config.empty() && ConfigOf(config).lpBinaryPathName != nullptr) {
      program = ServiceProgram(ConfigOf(config).lpBinaryPathName);
    }
    CloseServiceHandle(service);
  }
  CloseServiceHandle(manager);
  return program;
}

std::string ServiceProgram(const std::string& binaryPath) {
  if (!binaryPath.empty() && binaryPath.front() == '"') {
    const std::size_t close = binaryPath.find('"', 1);
    return binaryPath.substr(1, close == std::string::npos ? close : close - 1);
  }
  const std::string lower = LowerAscii(binaryPath);
  for (std::size_t at = lower.find(".exe"); at != std::string::npos; at = lower.find(".exe", at + 1)) {
    if (at + 4 == lower.size() || lower[at + 4] == ' ') return binaryPath.substr(0, at + 4);
  }
  return binaryPath;
}

}  // namespace tavro
