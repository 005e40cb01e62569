#include "app/switches.h"

#include <algorithm>
#include <cctype>

namespace tavro {

Parameters ParametersOf(int argc, const char* const* argv) {
  Parameters parameters;
  for (int i = 1; i < argc; ++i) parameters.emplace_back(argv[i]);
  return parameters;
}

bool HasSwitch(const Parameters& parameters, const std::string& name, const std::string& switchChars) {
  const auto sameLetters = [](char a, char b) {
    return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
  };
  return std::any_of(parameters.begin(), parameters.end(), [&](const std::string& parameter) {
    return parameter.size() == name.size() + 1 && switchChars.find(parameter.front()) != std::string::npos &&
           std::equal(name.begin(), name.end(), parameter.begin() + 1, sameLetters);
  });
}

bool IsInstallCall(const Parameters& parameters) {
  return HasSwitch(parameters, "INSTALL", kAnySwitchChar) || HasSwitch(parameters, "UNINSTALL", kAnySwitchChar);
}

}  // namespace tavro
