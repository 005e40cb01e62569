#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "app/launcher_usage.h"
#include "support/stderr_echo_posix.h"

namespace tavro {

const char* OutsideCommandsUsage() {
  return "In a terminal the launcher shows its window: the menu Launch (F10 or Alt+L; arrows, Enter,\n"
         "Esc and the underlined letters) with Start (Ctrl+S), Stop (Ctrl+O) and ReRead ini, Exit\n"
         "(Ctrl+Q), the day's log and the status bar. With H it closes the window at the next tick and\n"
         "goes on without the terminal.\n"
         "Without a window the signals are the window's commands:\n"
         "  SIGUSR1 Start, SIGUSR2 Stop, SIGHUP ReRead ini (while stopped), SIGTERM or SIGINT Exit.\n"
         "Every log entry is also written to standard error (in the window: shown there).\n"
         "\n"
         "Service: -INSTALL writes the systemd unit TavroRunner.service into /etc/systemd/system (the\n"
         "environment variable TAVRORUN_UNIT_DIR names another folder) and enables it; then\n"
         "systemctl start, stop and status TavroRunner drive it. SIGTERM is the stop request.\n";
}

std::ostream* LogEchoStream() { return &StderrEcho(); }

bool LogEchoIsJournal() {
  const char* stream = std::getenv("JOURNAL_STREAM");
  unsigned long long device = 0;
  unsigned long long inode = 0;
  struct stat status {};
  return stream != nullptr && std::sscanf(stream, "%llu:%llu", &device, &inode) == 2 &&
         fstat(STDERR_FILENO, &status) == 0 && status.st_dev == device && status.st_ino == inode;
}

std::ostream& InfoOutput() { return std::cout; }

}  // namespace tavro
