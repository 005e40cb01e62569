#pragma once
// Whether the launcher could start a program path as a job's "exename" gives it, by the rules of
// this platform's program start.

#include <optional>
#include <string>

namespace tavro {

// What stands in the way of starting the program, or makes its start depend on where the launcher
// is installed (a relative path), or nothing. `launcherFolder` is the folder of the launcher, which
// is the folder of its configuration file.
std::optional<std::string> ProgramFileProblem(const std::string& program, const std::string& launcherFolder);

}  // namespace tavro
