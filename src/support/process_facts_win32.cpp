#include <windows.h>

#include "support/process_facts.h"
#include "support/system_error_win32.h"

namespace tavro {

int CurrentProcessId() { return static_cast<int>(GetCurrentProcessId()); }

bool ProcessRuns(int processId) {
  if (processId <= 0) return false;
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(processId));
  if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
  const bool runs = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return runs;
}

std::string SystemErrorMeaning(int code) { return SystemMessage(static_cast<DWORD>(code)); }

}  // namespace tavro
