#include <iostream>

#include "app/launcher_usage.h"

namespace tavro {

const char* OutsideCommandsUsage() {
  return "Without a window the signals are the window's commands:\n"
         "  SIGUSR1 Start, SIGUSR2 Stop, SIGHUP ReRead ini (while stopped), SIGTERM or SIGINT Exit.\n"
         "Every log entry is also written to standard error.\n";
}

std::ostream* LogEchoStream() { return &std::cerr; }

std::ostream& InfoOutput() { return std::cout; }

}  // namespace tavro
