#include "window/switches.h"

#include <algorithm>
#include <string_view>

#include "support/text.h"

namespace tavro {

Parameters ParametersOf(int argc, const char* const* argv) {
  Parameters parameters;
  for (int i = 1; i < argc; ++i) parameters.emplace_back(argv[i]);
  return parameters;
}

bool HasSwitch(const Parameters& parameters, const std::string& name, const std::string& switchChars) {
  return std::any_of(parameters.begin(), parameters.end(), [&](const std::string& parameter) {
    return !parameter.empty() && switchChars.find(parameter.front()) != std::string::npos &&
           EqualsIgnoreCase(std::string_view(parameter).substr(1), name);
  });
}

bool IsInstallCall(const Parameters& parameters) {
  return HasSwitch(parameters, "INSTALL", kAnySwitchChar) || HasSwitch(parameters, "UNINSTALL", kAnySwitchChar);
}

}  // namespace tavro
