#include "sources/pi_api_binding.h"

namespace tavro {

PiApiLibraryLocation SystemPiApiLibrary() { return {{"piapi32.dll"}, "piapi32.dll"}; }

}  // namespace tavro
