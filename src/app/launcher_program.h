#pragma once
// Start-up of tavrorun: the single-instance guard, the choice of run mode, the control window and
// the loop that runs it.

#include "window/switches.h"

namespace tavro {

// Returns the process's exit code.
int RunLauncher(const Parameters& parameters);

}  // namespace tavro
