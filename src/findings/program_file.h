#pragma once
// Whether the launcher could start a program path as a job's "exename" gives it, by the rules of
// this platform's program start.

#include <map>
#include <optional>
#include <string>

namespace tavro {

// Whether each folder of a program path looked up so far exists. A configuration copied from another
// server names thousands of programs in a handful of folders that are not there: each folder is
// looked up once, and a program in a missing one is not looked for.
using KnownFolders = std::map<std::string, bool, std::less<>>;

// What stands in the way of starting the program, or makes its start depend on where the launcher
// is installed (a relative path), or nothing. `launcherFolder` is the folder of the launcher, which
// is the folder of its configuration file.
std::optional<std::string> ProgramFileProblem(const std::string& program, const std::string& launcherFolder,
                                              KnownFolders& folders);

}  // namespace tavro
