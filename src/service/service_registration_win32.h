#pragma once
// Registering and removing the service TavroRunner, with the reports a person at the desk reads.

#include <string>

namespace tavro {

inline constexpr char kServiceDisplayName[] = "Cyclic Tavro Launcher Service";
// As the service manager shows it; the installer (packaging/windows) writes the same.
inline constexpr char kServiceDescription[] =
    "Starts the plant's scheduled pumps, batches, tasks and reports (Tavro Launcher).";

// The path the service manager starts: the executable's full path, in quotes when it holds a
// blank, so that "C:\Program Files\..." can never start "C:\Program.exe".
std::string ServiceBinaryPath(const std::string& exeName);

// Each reports in a message box ("silent": none on success, but a failure is always shown) and
// returns the process's exit code: 1 when the service manager could not be opened at all. The
// install also writes the description, the restarts after a failure, the delayed start and the
// event source, and its report names those the system did not take; the removal stops a running
// service first and removes the event source with it.
int InstallService(bool silent);
int UninstallService(bool silent);

}  // namespace tavro
