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

// A failed systemctl step where no systemd runs (a container, a chroot, an image being built)
// says so: the administrator's cure is another machine, not another command.
bool SystemdRuns() { return access("/run/systemd/system", F_OK) == 0; }

// Runs one systemctl step; "" when it succeeded, else the failure's one-line reason.
std::string Systemctl(const std::vector<std::string>& arguments) {
  const SystemctlRun run = RunSystemctl(arguments, kSystemctlPatienceMs);
  if (run.ended && run.exitCode == 0) return "";
  std::string said = SystemctlFailureText(arguments, run);
  for (char& c : said) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return SystemdRuns() ? said : "systemd is not running (" + said + ")";
}

// The one-line reason for a failed file step on the unit.
std::string FileFailure(int errorNumber) {
  switch (errorNumber) {
    case EACCES:
    case EPERM:
      return "permission denied: run as root";
    case EEXIST:
      return "already installed";
    case ENOENT:
      return "not installed";
    default:
      return std::strerror(errorNumber);
  }
}

bool MayWriteFolder(const std::string& folder, ServiceChange& change) {
  if (access(folder.c_str(), W_OK | X_OK) == 0) return true;
  change = {ServiceChangeOutcome::Failed, FileFailure(errno) + " (" + folder + ")"};
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
         "# A SQL or PI source is read as soon as the launcher starts.\n"
         "Wants=network-online.target\n"
         "After=network-online.target\n"
         "# A launcher that keeps failing at its start is given up after five tries in ten minutes.\n"
         "StartLimitIntervalSec=600\n"
         "StartLimitBurst=5\n"
         "\n"
         "[Service]\n"
         "Type=notify\n"
         "ExecStart=" + ExecStartWord(exePath) + "\n"
         "# A stop ends the launcher only: the programs it started run on, as they do on Windows.\n"
         "KillMode=process\n"
         "Restart=on-failure\n"
         "RestartSec=10\n"
         "# What the launched programs inherit is kept to what plant programs do: they may still write\n"
         "# their own folders, /opt, /tmp, /var, /srv and /home, reach the network and serial devices.\n"
         "ProtectSystem=full\n"
         "ProtectKernelTunables=yes\n"
         "ProtectKernelModules=yes\n"
         "ProtectKernelLogs=yes\n"
         "ProtectControlGroups=yes\n"
         "ProtectClock=yes\n"
         "ProtectHostname=yes\n"
         "RestrictRealtime=yes\n"
         "RestrictSUIDSGID=yes\n"
         "RestrictNamespaces=yes\n"
         "LockPersonality=yes\n"
         "KeyringMode=private\n"
         "SystemCallArchitectures=native\n"
         "RestrictAddressFamilies=AF_UNIX AF_INET AF_INET6 AF_NETLINK\n"
         "SystemCallFilter=~@clock @cpu-emulation @debug @module @mount @obsolete @raw-io @reboot @swap\n"
         "# A refused call fails with an error instead of killing the program that made it.\n"
         "SystemCallErrorNumber=EPERM\n"
         "CapabilityBoundingSet=~CAP_SYS_MODULE CAP_SYS_BOOT CAP_SYS_TIME CAP_SYS_RAWIO CAP_SYS_PTRACE "
         "CAP_MKNOD CAP_SYS_ADMIN CAP_NET_ADMIN CAP_LINUX_IMMUTABLE CAP_AUDIT_CONTROL CAP_AUDIT_WRITE "
         "CAP_AUDIT_READ CAP_MAC_ADMIN CAP_MAC_OVERRIDE CAP_SYSLOG CAP_WAKE_ALARM CAP_BLOCK_SUSPEND "
         "CAP_SYS_PACCT CAP_LEASE CAP_BPF CAP_SYS_TTY_CONFIG CAP_IPC_LOCK CAP_NET_BROADCAST\n"
         "\n"
         "[Install]\n"
         "WantedBy=multi-user.target\n";
}

ServiceChange InstallServiceUnit(const std::string& unitFolder, const std::string& exePath) {
  ServiceChange change;
  if (!MayWriteFolder(unitFolder, change)) return change;
  const std::string unitPath = ServiceUnitPath(unitFolder);
  int errorNumber = 0;
  if (!WriteNewFile(unitPath, ServiceUnitText(exePath), errorNumber)) {
    return {ServiceChangeOutcome::Failed, FileFailure(errorNumber)};
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
  if (access(unitPath.c_str(), F_OK) != 0) return {ServiceChangeOutcome::Failed, FileFailure(errno)};
  if (std::string failure = Systemctl({"disable", kUnitName}); !failure.empty()) {
    return {ServiceChangeOutcome::Failed, failure};
  }
  if (unlink(unitPath.c_str()) != 0) return {ServiceChangeOutcome::Failed, FileFailure(errno)};
  // Without a running systemd there is no manager to forget the unit: removed is removed (the
  // package's removal in a container relies on this).
  if (std::string failure = Systemctl({"daemon-reload"}); !failure.empty() && SystemdRuns()) {
    return {ServiceChangeOutcome::Failed, failure};
  }
  return change;
}

namespace {

// A failure is one line on standard error and a non-zero exit code, as scripts and package
// managers expect of a command.
int Report(const ServiceChange& change, bool silent, const char* verb, const char* success) {
  if (change.outcome == ServiceChangeOutcome::Done) {
    if (!silent) std::cout << success << std::endl;
    return 0;
  }
  std::cerr << "Service \"" << kServiceDisplayName << "\" failed to " << verb << " with error: \"" << change.failure
            << "\"" << std::endl;
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
