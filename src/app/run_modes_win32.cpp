#include <iostream>

#include "app/headless_face.h"
#include "app/run_modes.h"

namespace tavro {

int RunProgramMode(ControlWindow& window, DailyLogFile&) { return RunHeadless(window); }

int RunServiceMode(ControlWindow&, DailyLogFile&, const Parameters&) {
  std::cerr << "tavrorun: not started by the service manager; the service host is not part of this build\n";
  return 1;
}

}  // namespace tavro
