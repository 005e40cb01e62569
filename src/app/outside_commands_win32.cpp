#include <windows.h>

#include <atomic>

#include "app/outside_commands.h"

namespace tavro {
namespace {

// Console events (Ctrl+C, Ctrl+Break, closing the console) ask for Exit; they arrive on a thread of
// their own, so they only set a flag and wake the waiting loop.
std::atomic<bool> exitRequested{false};
HANDLE wakeUp = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD) {
  exitRequested = true;
  SetEvent(wakeUp);
  return TRUE;
}

}  // namespace

bool ListenForOutsideCommands(std::string& error) {
  wakeUp = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (wakeUp == nullptr || !SetConsoleCtrlHandler(OnConsoleEvent, TRUE)) {
    error = "console events: error " + std::to_string(GetLastError());
    return false;
  }
  return true;
}

std::optional<Command> WaitForOutsideCommand(int milliseconds) {
  if (milliseconds > 0) WaitForSingleObject(wakeUp, static_cast<DWORD>(milliseconds));
  if (exitRequested.exchange(false)) return Command::Exit;
  return std::nullopt;
}

}  // namespace tavro
