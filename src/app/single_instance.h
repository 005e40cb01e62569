#pragma once
// The guard against a second running launcher: a lock that is held until the process ends, however
// it ends.

#include <string>

namespace tavro {

inline constexpr char kSingleInstanceName[] = "TAVRORUN_PRG_MUTEX";

enum class InstanceLockState {
  Held,           // this process holds the lock for the rest of its life
  HeldByAnother,  // another launcher runs
  Refused,        // the lock cannot be had safely: starting could make a second launcher
};

struct InstanceLock {
  InstanceLockState state;
  std::string problem;  // Refused: the lock's path and why it cannot be had, for the log;
                        // HeldByAnother: the running launcher's process id where the platform tells it
  std::string note = {};  // Held: why the lock is not where it belongs, for the log; "" when it is
};

// Takes the lock of that name for the rest of the process's life (on Windows the mutex of that name
// in the global namespace, one per machine like root's lock on Linux). Tests pass names of their
// own so that they never meet a running launcher.
InstanceLock AcquireSingleInstance(const std::string& name = kSingleInstanceName);

// Tells the user that a launcher is already running (and waits until the user has seen it where
// the platform asks for that). Returns the process's exit code.
int ShowAlreadyRunning(const InstanceLock& lock);

}  // namespace tavro
