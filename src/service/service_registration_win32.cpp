#include <windows.h>

#include <cstdio>

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
  const std::string binaryPath = ServiceBinaryPath(CurrentExecutablePath());
  const SC_HANDLE service =
      CreateServiceA(manager, kServiceName, kServiceDisplayName, SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                     SERVICE_AUTO_START, SERVICE_ERROR_NORMAL, binaryPath.c_str(), nullptr, nullptr, nullptr,
                     nullptr, "");
  const DWORD error = GetLastError();
  if (service != nullptr) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  if (service == nullptr) {
    ShowBox(FailureText("install", error), "Error", MB_ICONERROR);
  } else if (!silent) {
    ShowBox("Service installed successfully", "Information", MB_ICONINFORMATION);
  }
  return 0;
}

int UninstallService(bool silent) {
  const SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (manager == nullptr) return ManagerUnavailable(GetLastError(), __builtin_return_address(0));
  // A running service is not stopped: the manager deletes it once it has stopped.
  const SC_HANDLE service = OpenServiceA(manager, kServiceName, SERVICE_ALL_ACCESS);
  const bool removed = service != nullptr && DeleteService(service);
  const DWORD error = GetLastError();
  if (service != nullptr) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  if (!removed) {
    ShowBox(FailureText("uninstall", error), "Error", MB_ICONERROR);
  } else if (!silent) {
    ShowBox("Service uninstalled successfully", "Information", MB_ICONINFORMATION);
  }
  return 0;
}

}  // namespace tavro
