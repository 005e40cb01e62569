#include <windows.h>

#include <cstdio>
#include <iostream>

#include "app/launcher_usage.h"

namespace tavro {

const char* OutsideCommandsUsage() {
  return "The window's menu Launch holds Start (Ctrl+S), Stop (Ctrl+O) and ReRead ini; Exit (Ctrl+Q)\n"
         "ends the program. Installed as a service, TavroRunner is started and stopped by the service\n"
         "manager (net start TavroRunner, net stop TavroRunner); failures then go to the event log.\n";
}

std::ostream* LogEchoStream() { return nullptr; }

bool LogEchoIsJournal() { return false; }

std::ostream& InfoOutput() {
  // Redirected output (a pipe, a file) is already there; a console has to be joined first.
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if ((out == nullptr || out == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
    if (std::freopen("CONOUT$", "w", stdout) != nullptr) std::cout.clear();
  }
  return std::cout;
}

}  // namespace tavro
