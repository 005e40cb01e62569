#pragma once
// The guard against a second running launcher: a system-wide lock that is held until the process
// ends, however it ends.

#include <string>

namespace tavro {

inline constexpr char kSingleInstanceName[] = "TAVRORUN_PRG_MUTEX";

// Takes the lock of that name for the rest of the process's life. Returns false when another
// process holds it. Tests pass names of their own so that they never meet a running launcher.
bool AcquireSingleInstance(const std::string& name = kSingleInstanceName);

// Tells the user that a launcher is already running (and waits until the user has seen it where
// the platform asks for that).
void ShowAlreadyRunning();

}  // namespace tavro
