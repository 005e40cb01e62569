#pragma once
// Linux: the service TavroRunner is the systemd unit TavroRunner.service. Installing writes the unit
// and enables it; removing disables it and deletes the unit.

#include <string>

namespace tavro {

inline constexpr char kServiceDisplayName[] = "Cyclic Tavro Launcher Service";

// The unit for the executable at `exePath` (an absolute path).
std::string ServiceUnitText(const std::string& exePath);

// The path written as the first word of ExecStart=: quoted when it holds a blank, a quote or a
// backslash, with "%" and "$" doubled so that systemd takes neither as a specifier or a variable.
std::string ExecStartWord(const std::string& exePath);

enum class ServiceChangeOutcome {
  Done,    // installed (enabled) or removed
  Failed,  // refused or failed: reported with `failure`, exit code 1
};

struct ServiceChange {
  ServiceChangeOutcome outcome = ServiceChangeOutcome::Done;
  std::string failure;  // one line: "not installed", "already installed", "systemd is not running (...)",
                        // "permission denied: run as root", or the system's or systemctl's text
};

// Writes the unit into `unitFolder`, then "systemctl daemon-reload" and "systemctl enable". An
// existing unit is refused ("already installed"); a failed systemctl step takes the unit away again, so
// that an install either happens whole or leaves nothing behind.
ServiceChange InstallServiceUnit(const std::string& unitFolder, const std::string& exePath);

// "systemctl disable", deletes the unit, "systemctl daemon-reload" (skipped where no systemd runs).
// A missing unit is refused ("not installed").
ServiceChange UninstallServiceUnit(const std::string& unitFolder);

// Carries out -INSTALL or -UNINSTALL: the success on standard output unless `silent`, a failure on
// standard error always. Returns the exit code (1 for a failure).
int InstallService(const std::string& exePath, bool silent);
int UninstallService(bool silent);

}  // namespace tavro
