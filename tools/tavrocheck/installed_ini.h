#pragma once
// Where the launcher installed on this machine keeps its configuration, for a checker started in
// some other folder (an administrator's prompt on Windows opens in System32).

#include <string>

namespace tavro {

// Linux: the package's configuration (/opt/tavro/tavrorun.ini). Windows: the one the program of
// the registered service TavroRunner reads, its own name with the extension .ini. "" when the
// service is not registered or cannot be asked.
std::string InstalledIniFile();

}  // namespace tavro
