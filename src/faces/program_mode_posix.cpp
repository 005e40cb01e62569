#include <unistd.h>

#include "faces/headless_face.h"
#include "faces/program_mode.h"
#include "faces/terminal_face_posix.h"

namespace tavro {

// A terminal on both standard input and output gets the window; anything else (a pipe, a file,
// systemd, cron) runs headless.
int RunProgramMode(ControlWindow& window, DailyLogFile& log) {
  if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) {
    if (const std::optional<int> exitCode = RunTerminalWindow(window, log)) return *exitCode;
  }
  return RunHeadless(window);
}

}  // namespace tavro
