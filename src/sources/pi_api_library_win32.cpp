#include "sources/pi_api_binding.h"

namespace tavro {

PiApiLibraryLocation SystemPiApiLibrary(const std::string&) { return {{"piapi32.dll"}, "piapi32.dll"}; }

}  // namespace tavro
