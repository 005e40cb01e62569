#pragma once
// The service TavroRunner under the service control manager. The manager's threads never touch
// the launcher: its start and stop requests are carried to the window's thread and run there,
// between ticks, in the order they arrived.

#include <memory>

#include "faces/main_window_win32.h"
#include "support/event_log_win32.h"
#include "support/log_sink.h"
#include "window/control_window.h"
#include "window/start_face.h"

namespace tavro {

// Connects to the service manager before the window is made: the start's face, which reports the
// start pending while the start's reading waits and takes the manager's stop then. The host below
// takes the connection over.
std::unique_ptr<StartFace> ConnectingStartFace(ControlWindow& window, LogSink& log);

// With the connection of the start, runs the (hidden) window's loop on this thread until the
// service has stopped, or until the connection failed: then the process was started by hand, and
// the system's text for that goes to `processLog`. Returns the exit code.
int RunServiceHost(ControlWindow& window, LogSink& log, MainWindow& face, EventLog& processLog);

}  // namespace tavro
