#pragma once
// The service TavroRunner under the service control manager. The manager's threads never touch
// the launcher: its start and stop requests are carried to the window's thread and run there,
// between ticks, in the order they arrived.

#include "faces/main_window_win32.h"
#include "support/event_log_win32.h"
#include "support/log_sink.h"
#include "window/control_window.h"

namespace tavro {

// Connects to the service manager and runs the (hidden) window's loop on this thread until the
// service has stopped, or until the connection failed: then the process was started by hand, and
// the system's text for that goes to `processLog`. Returns the exit code.
int RunServiceHost(ControlWindow& window, LogSink& log, MainWindow& face, EventLog& processLog);

}  // namespace tavro
