#include <windows.h>

#include "app/single_instance.h"

namespace tavro {

InstanceLock AcquireSingleInstance(const std::string& name) {
  // The handle is never closed: the mutex is released by the end of the process.
  SetLastError(ERROR_SUCCESS);
  CreateMutexA(nullptr, TRUE, name.c_str());
  if (GetLastError() == ERROR_ALREADY_EXISTS) return {InstanceLockState::HeldByAnother, {}};
  return {InstanceLockState::Held, {}};
}

int ShowAlreadyRunning(const InstanceLock&) {
  MessageBoxA(nullptr, "Program is already running", "Tavro Launcher", MB_ICONERROR | MB_OK);
  return 0;
}

}  // namespace tavro
