// The mutex lives in the machine's global namespace: the service's, in session 0, is then the same
// object as the one a program start in a user's session asks for. A user who may not open the
// service's mutex (it is SYSTEM's) gets access denied, which says as clearly as "already exists"
// that another launcher holds it. Any other failure is refused: running unguarded could make a
// second launcher.

#include <windows.h>

#include "app/single_instance.h"
#include "support/system_error_win32.h"

namespace tavro {

InstanceLock AcquireSingleInstance(const std::string& name) {
  const std::string global = "Global\\" + name;
  // The handle is never closed: the mutex is released by the end of the process.
  SetLastError(ERROR_SUCCESS);
  const HANDLE mutex = CreateMutexA(nullptr, TRUE, global.c_str());
  const DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED) return {InstanceLockState::HeldByAnother, {}};
  if (mutex == nullptr) {
    return {InstanceLockState::Refused, "Cannot hold the single-instance lock " + global + ": " +
                                            SystemMessage(error) + "; the launcher does not start"};
  }
  return {InstanceLockState::Held, {}};
}

int ShowAlreadyRunning(const InstanceLock&) {
  MessageBoxA(nullptr, "Program is already running", "Tavro Launcher", MB_ICONERROR | MB_OK);
  return 0;
}

}  // namespace tavro
