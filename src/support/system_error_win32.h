#pragma once
// The texts of a failed system call, as the install reports and the event log show them.

#include <windows.h>

#include <string>

namespace tavro {

// The system's message for the error code, without the line break and full stop it ends with.
std::string SystemMessage(DWORD code);

// "System Error.  Code: 1073." and, on the next line, the system's message.
std::string SystemErrorText(DWORD code);

}  // namespace tavro
