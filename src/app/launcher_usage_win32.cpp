#include "app/launcher_usage.h"

namespace tavro {

const char* OutsideCommandsUsage() { return "In a console, Ctrl+C or closing the console is Exit.\n"; }

std::ostream* LogEchoStream() { return nullptr; }

}  // namespace tavro
