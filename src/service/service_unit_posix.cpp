#include "service/service_unit_posix.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <vector>

#include "service/service_query.h"
#include "service/service_query_posix.h"
#include "service/systemctl_posix.h"

namespace tavro {
namespace {

// daemon-reload may take its time on a busy machine; an answer never comes only when something hangs.
constexpr int kSystemctlPatienceMs = 120000;

const std::string kUnitName = std::string(kServiceName) + ".service";

// Runs one systemctl step; "" when it succeeded, else the failure's text.
std::string Systemctl(const std::vector<std::string>& arguments) {
  const SystemctlRun run = RunSystemctl(arguments, kSystemctlPatienceMs);
  return run.ended && run.exitCode == 0 ? "" : SystemctlFailureText(arguments, run);
}

// Not allowed to write the folder at all: the counterpart of a service manager that refuses to open.
bool MayWriteFolder(const std::string& folder, ServiceChange& change) {
  if (access(folder.c_str(), W_OK | X_OK) == 0) return true;
  change = {ServiceChangeOutcome::Fatal, SystemErrorText(errno) + " (" + folder + ")"};
  return false;
}

bool WriteNewFile(const std::string& path, const std::string& text, int& errorNumber) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    errorNumber = errno;
    return false;
  }
  const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  errorNumber = written ? 0 : errno;
  const bool closed = close(fd) == 0;
  if (written && !closed) errorNumber = errno;
  if (written && closed) return true;
  unlink(path.c_str());
  return false;
}

}  // namespace

std::string ExecStartWord(const std::string& exePath) {
  std::string escaped;
  bool quote = false;
  for (const char c : exePath) {
    switch (c) {
      case '%':
        escaped += "%%";
        break;
      case '$':
        escaped += "$$";
        break;
      case '"':
      case '\\':
        escaped += '\\';
        escaped += c;
        quote = true;
        break;
      case '\n':
        escaped += "\\n";
        quote = true;
        break;
      default:
        escaped += c;
        if (c == ' ' || c == '\t' || c == '\'') quote = true;
    }
  }
  return quote ? "\"" + escaped + "\"" : escaped;
}

std::string ServiceUnitText(const std::string& exePath) {
  return std::string("[Unit]\n") +
         "Description=" + kServiceDisplayName + "\n"
         "\n"
         "[Service]\n"
         "Type=notify\n"
         "ExecStart=" + ExecStartWord(exePath) + "\n"
         "# A stop ends the launcher only: the programs it started run on, as they do on Windows.\n"
         "KillMode=process\n"
         "\n"
         "[Install]\n"
         "WantedBy=multi-user.target\n";
}

std::string SystemErrorText(int errorNumber) {
  return "System Error.  Code: " + std::to_string(errorNumber) + ".\n" + std::strerror(errorNumber);
}

ServiceChange InstallServiceUnit(const std::string& unitFolder, const std::string& exePath) {
  ServiceChange change;
  if (!MayWriteFolder(unitFolder, change)) return change;
  const std::string unitPath = ServiceUnitPath(unitFolder);
  int errorNumber = 0;
  if (!WriteNewFile(unitPath, ServiceUnitText(exePath), errorNumber)) {
    return {ServiceChangeOutcome::Failed, SystemErrorText(errorNumber)};
  }
  std::string failure = Systemctl({"daemon-reload"});
  if (failure.empty()) failure = Systemctl({"enable", kUnitName});
  if (failure.empty()) return change;
  unlink(unitPath.c_str());
  Systemctl({"daemon-reload"});  // best effort: the manager forgets the unit again
  return {ServiceChangeOutcome::Failed, failure};
}

ServiceChange UninstallServiceUnit(const std::string& unitFolder) {
  ServiceChange change;
  if (!MayWriteFolder(unitFolder, change)) return change;
  const std::string unitPath = ServiceUnitPath(unitFolder);
  if (access(unitPath.c_str(), F_OK) != 0) return {ServiceChangeOutcome::Failed, SystemErrorText(errno)};
  if (std::string failure = Systemctl({"disable", kUnitName}); !failure.empty()) {
    return {ServiceChangeOutcome::Failed, failure};
  }
  if (unlink(unitPath.c_str()) != 0) return {ServiceChangeOutcome::Failed, SystemErrorText(errno)};
  if (std::string failure = Systemctl({"daemon-reload"}); !failure.empty()) {
    return {ServiceChangeOutcome::Failed, failure};
  }
  return change;
}

namespace {

int Report(const ServiceChange& change, bool silent, const char* verb, const char* success) {
  switch (change.outcome) {
    case ServiceChangeOutcome::Done:
      if (!silent) std::cout << success << std::endl;
      return 0;
    case ServiceChangeOutcome::Failed:
      std::cerr << "Service \"" << kServiceDisplayName << "\" failed to " << verb << " with error: \"" << change.failure
                << "\"" << std::endl;
      return 0;
    case ServiceChangeOutcome::Fatal:
      std::cerr << "Application Error: the unit folder may not be written: " << change.failure << std::endl;
      return 1;
  }
  return 1;
}

}  // namespace

int InstallService(const std::string& exePath, bool silent) {
  return Report(InstallServiceUnit(ServiceUnitFolder(), exePath), silent, "install", "Service installed successfully");
}

int UninstallService(bool silent) {
  return Report(UninstallServiceUnit(ServiceUnitFolder()), silent, "uninstall", "Service uninstalled successfully");
}

}  // namespace tavro
