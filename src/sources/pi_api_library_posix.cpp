#include "sources/pi_api_binding.h"

namespace tavro {

// Beside the launcher first, as Windows looks in the program's folder first; no RPATH is needed.
PiApiLibraryLocation SystemPiApiLibrary(const std::string& launcherFolder) {
  const std::string name = "libpiapi.so";
  return {{launcherFolder + "/" + name, name}, name};
}

}  // namespace tavro
