#include "window/outside_commands.h"

namespace tavro {

// Commands reach a Windows launcher as its window's messages, which need nothing prepared.
bool ListenForOutsideCommands(std::string& /*error*/) { return true; }

}  // namespace tavro
