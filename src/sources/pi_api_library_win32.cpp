#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "sources/pi_api_binding.h"

namespace tavro {
namespace {

constexpr char kLibraryName[] = "piapi32.dll";

// The folder the PI installation records as its home (PIHOME64 for the 64-bit one), "" when none.
std::string PiHome(const char* value) {
  DWORD size = 0;
  // A REG_EXPAND_SZ value is taken too, its variables expanded.
  const DWORD types = RRF_RT_REG_SZ;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\PISystem", value, types, nullptr, nullptr, &size) != ERROR_SUCCESS) {
    return {};
  }
  std::string home(size, '\0');
  if (RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\PISystem", value, types, nullptr, home.data(), &size) !=
      ERROR_SUCCESS) {
    return {};
  }
  home.resize(home.find('\0'));
  return home;
}

// Absolute folders only: "." or a relative entry of PATH would stand for the current folder.
bool Absolute(std::string_view folder) {
  return folder.size() > 2 && ((folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/')) ||
                               (folder[0] == '\\' && folder[1] == '\\'));
}

}  // namespace

// Where the PI API's installation puts the library: the bin folder of its home, which its installer
// also adds to PATH; then the other folders of PATH. Never the launcher's folder or the current one.
PiApiLibraryLocation SystemPiApiLibrary(const std::string&) {
  PiApiLibraryLocation location{{}, kLibraryName};
  for (const char* home : {"PIHOME64", "PIHOME"}) {
    const std::string folder = PiHome(home);
    if (Absolute(folder)) location.candidates.push_back(folder + "\\bin\\" + kLibraryName);
  }
  const char* path = std::getenv("PATH");
  std::string_view entries = path != nullptr ? path : "";
  while (!entries.empty()) {
    const std::string_view folder = entries.substr(0, entries.find(';'));
    if (Absolute(folder)) location.candidates.push_back(std::string(folder) + "\\" + kLibraryName);
    entries.remove_prefix(std::min(entries.size(), folder.size() + 1));
  }
  return location;
}

}  // namespace tavro
