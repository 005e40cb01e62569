#pragma once
// Whether the launcher could start a program path as a job's "exename" gives it, by the rules of
// this platform's program start.

#include <optional>
#include <string>

#include "support/file_access.h"

namespace tavro {

// What stands in the way of starting the program, or makes its start depend on where the launcher
// is installed (a relative path), or nothing. `launcherFolder` is the folder of the launcher, which
// is the folder of its configuration file. A program in a folder that `folders` knows to be
// missing is not looked for.
std::optional<std::string> ProgramFileProblem(const std::string& program, const std::string& launcherFolder,
                                              KnownFolders& folders);

}  // namespace tavro
