#pragma once
// What one process can tell of itself and of another by its id, and the system's word for an
// error code: what the status file holds and its reader checks.

#include <string>

namespace tavro {

int CurrentProcessId();
// Whether a process of that id runs now (a process the caller may not signal counts as running).
bool ProcessRuns(int processId);
// The system's message for an error code that a failed program start returned.
std::string SystemErrorMeaning(int code);

}  // namespace tavro
