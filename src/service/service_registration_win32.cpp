#include <windows.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "service/service_query.h"
#include "service/service_registration_win32.h"
#include "support/process_path.h"
#include "support/system_error_win32.h"
#include "support/text.h"

namespace tavro {
namespace {

void ShowBox(const std::string& text, const char* caption, UINT icon) {
  MessageBoxA(nullptr, text.c_str(), caption, icon | MB_OK);
}

// Without the service manager nothing can be registered or removed: the call fails as a whole,
// with the failure's place and its system text, and the process ends with exit code 1.
int ManagerUnavailable(DWORD code, const void* address) {
  char where[160];
  std::snprintf(where, sizeof where, "Exception SystemError in module %s at %p.",
                FileNameOf(CurrentExecutablePath()).c_str(), address);
  ShowBox(std::string(where) + kLineBreak + SystemErrorText(code), "Application Error", MB_ICONERROR);
  return 1;
}

// The event source under which the service's entries appear, with the message table of this
// executable, so that the event viewer shows their texts as written.
constexpr char kEventSourceKey[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\TavroRunner";

DWORD WriteEventSource(const std::string& exeName) {
  HKEY key = nullptr;
  DWORD error = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kEventSourceKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                nullptr);
  if (error != ERROR_SUCCESS) return error;
  const DWORD types = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
  error = RegSetValueExA(key, "EventMessageFile", 0, REG_SZ, reinterpret_cast<const BYTE*>(exeName.c_str()),
                         static_cast<DWORD>(exeName.size() + 1));
  if (error == ERROR_SUCCESS) {
    error = RegSetValueExA(key, "TypesSupported", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&types), sizeof types);
  }
  RegCloseKey(key);
  return error;
}

// What the service manager keeps besides the command: the description, restarts after a failure
// (as systemd's Restart=on-failure on Linux) and a start after the boot's other automatic services,
// when the network is more likely to be up; and the event source. The settings the system did not
// take, each with the system's reason.
std::vector<std::string> CompleteRegistration(SC_HANDLE service, const std::string& exeName) {
  std::vector<std::string> notSet;
  const auto apply = [&](DWORD level, void* info, const char* what) {
    SetLastError(ERROR_SUCCESS);
    if (!ChangeServiceConfig2A(service, level, info)) notSet.push_back(what + (": " + SystemMessage(GetLastError())));
  };
  std::string description = kServiceDescription;
  SERVICE_DESCRIPTIONA describe{description.data()};
  apply(SERVICE_CONFIG_DESCRIPTION, &describe, "description");
  SC_ACTION restarts[] = {{SC_ACTION_RESTART, 10'000}, {SC_ACTION_RESTART, 10'000}, {SC_ACTION_RESTART, 60'000}};
  SERVICE_FAILURE_ACTIONSA onFailure{24 * 60 * 60, nullptr, nullptr, 3, restarts};
  apply(SERVICE_CONFIG_FAILURE_ACTIONS, &onFailure, "restart after a failure");
  SERVICE_FAILURE_ACTIONS_FLAG alsoOnErrors{TRUE};
  apply(SERVICE_CONFIG_FAILURE_ACTIONS_FLAG, &alsoOnErrors, "restart after a stop with an error");
  SERVICE_DELAYED_AUTO_START_INFO delayed{TRUE};
  apply(SERVICE_CONFIG_DELAYED_AUTO_START_INFO, &delayed, "delayed start");
  if (const DWORD error = WriteEventSource(exeName); error != ERROR_SUCCESS) {
    notSet.push_back("event source: " + SystemMessage(error));
  }
  return notSet;
}

// A running service is stopped before it is removed, so that its files can be replaced or removed
// once the call has ended. One that does not stop within half a minute is removed by the manager
// when it stops.
void StopService(SC_HANDLE service) {
  SERVICE_STATUS status{};
  if (!ControlService(service, SERVICE_CONTROL_STOP, &status) && GetLastError() == ERROR_SERVICE_NOT_ACTIVE) return;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (QueryServiceStatus(service, &status) && status.dwCurrentState != SERVICE_STOPPED &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

std::string FailureText(const char* verb, DWORD code) {
  return std::string("Service \"") + kServiceDisplayName + "\" failed to " + verb + " with error: \"" +
         SystemErrorText(code) + "\"";
}

}  // namespace

std::string ServiceBinaryPath(const std::string& exeName) {
  return exeName.find(' ') == std::string::npos ? exeName : "\"" + exeName + "\"";
}

int InstallService(bool silent) {
  const SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (manager == nullptr) return ManagerUnavailable(GetLastError(), __builtin_return_address(0));
  const std::string exeName = CurrentExecutablePath();
  const std::string binaryPath = ServiceBinaryPath(exeName);
  const SC_HANDLE service =
      CreateServiceA(manager, kServiceName, kServiceDisplayName, SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                     SERVICE_AUTO_START, SERVICE_ERROR_NORMAL, binaryPath.c_str(), nullptr, nullptr, nullptr,
                     nullptr, "");
  const DWORD error = GetLastError();
  const std::vector<std::string> notSet =
      service != nullptr ? CompleteRegistration(service, exeName) : std::vector<std::string>{};
  if (service != nullptr) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  if (service == nullptr) {
    ShowBox(FailureText("install", error), "Error", MB_ICONERROR);
  } else if (!silent) {
    std::string report = "Service installed successfully";
    for (const std::string& setting : notSet) report += kLineBreak + ("Not set: " + setting);
    ShowBox(report, "Information", MB_ICONINFORMATION);
  }
  return 0;
}

int UninstallService(bool silent) {
  const SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (manager == nullptr) return ManagerUnavailable(GetLastError(), __builtin_return_address(0));
  const SC_HANDLE service = OpenServiceA(manager, kServiceName, SERVICE_ALL_ACCESS);
  if (service != nullptr) StopService(service);
  const bool removed = service != nullptr && DeleteService(service);
  const DWORD error = GetLastError();
  if (service != nullptr) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  if (!removed) {
    ShowBox(FailureText("uninstall", error), "Error", MB_ICONERROR);
    return 0;
  }
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kEventSourceKey);
  if (!silent) ShowBox("Service uninstalled successfully", "Information", MB_ICONINFORMATION);
  return 0;
}

}  // namespace tavro
