#pragma once
// Linux: the service host on systemd. systemd's start of the unit is the start request, SIGTERM
// the stop request, a SIGTERM while the system goes down the shutdown. The state goes to the
// manager as READY=1, STATUS= and STOPPING=1 (Type=notify); the window runs on the main loop.

#include <memory>

#include "support/log_file.h"
#include "support/log_sink.h"
#include "window/control_window.h"
#include "window/start_face.h"

namespace tavro {

// Runs as the started service until the stop request, or reports that the process was not started
// by systemd (no NOTIFY_SOCKET: a hand start of the installed service) and ends. Returns the exit
// code.
int RunSystemdService(ControlWindow& window, DailyLogFile& log);

// The start's face under systemd: SIGTERM (and SIGINT) end the start as a stop; while the start
// waits, EXTEND_TIMEOUT_USEC tells the manager that it goes on.
std::unique_ptr<StartFace> SystemdStartFace(ControlWindow& window, LogSink& log);

}  // namespace tavro
