#include "faces/main_window_win32.h"
#include "faces/program_mode.h"

namespace tavro {

int RunProgramMode(ControlWindow& window, DailyLogFile& log) {
  MainWindow face(window, {});
  if (!face.Created()) {
    log.Entry(face.CreationFailure());
    return 1;
  }
  face.Show();
  return face.RunMessageLoop();
}

}  // namespace tavro
