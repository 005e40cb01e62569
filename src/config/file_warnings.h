#pragma once
// What a reading warns of without refusing the file: existing installations keep running, but the
// operator learns that other accounts could choose what the launcher runs (or read its passwords),
// and that a value was cut at a NUL byte.

#include <string>
#include <vector>

#include "config/ini_file.h"
#include "jobs/launcher_state.h"

namespace tavro {

// One line per warning, in the order: values cut, the file, its passwords, the programs.
std::vector<std::string> FileWarnings(const IniFile& ini, const LauncherState& state);

}  // namespace tavro
