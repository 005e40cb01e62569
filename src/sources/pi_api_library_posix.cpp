#include "sources/pi_api_binding.h"
#include "support/process_path.h"

namespace tavro {

// Beside the executable first, as Windows looks in the program's folder first; no RPATH is needed.
PiApiLibraryLocation SystemPiApiLibrary() {
  const std::string name = "libpiapi.so";
  return {{FolderOf(CurrentExecutablePath()) + "/" + name, name}, name};
}

}  // namespace tavro
