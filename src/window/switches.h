#pragma once
// Command-line switches: a parameter is a switch when its first character is one of the accepted
// switch characters and the rest equals the switch name without regard to case. Each switch is
// looked for among all parameters, in any order.

#include <string>
#include <vector>

namespace tavro {

// The parameters after the program name, as main receives them. On Windows the C runtime has
// already split the command line at blanks with double quotes grouping (SplitCommandLine's rules).
using Parameters = std::vector<std::string>;

// Switch characters of the start-up checks and of the control window's switches "A" and "H".
inline constexpr char kAnySwitchChar[] = "-/\\";
// Switch characters the service host accepts for installing and removing.
inline constexpr char kServiceSwitchChar[] = "-/";

Parameters ParametersOf(int argc, const char* const* argv);

bool HasSwitch(const Parameters& parameters, const std::string& name, const std::string& switchChars);

// "INSTALL" or "UNINSTALL" with any of "-", "/" or "\": such a call takes the service path and
// skips the single-instance guard.
bool IsInstallCall(const Parameters& parameters);

}  // namespace tavro
