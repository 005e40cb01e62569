#pragma once
// The system log (the journal under systemd): where a process without a terminal reports failures,
// as a Windows service writes to the event log.

#include <string>

namespace tavro {

// One error entry under `identifier` (the program's name, or the service's).
void WriteSystemLog(const std::string& identifier, const std::string& message);

// The executable's file name without its folder, the identifier of the launcher's own entries.
std::string ExecutableIdentifier();

}  // namespace tavro
