#include "tavrocheck/installed_ini.h"

namespace tavro {

// Set by the install rules from the package's layout.
std::string InstalledIniFile() { return TAVRO_INSTALLED_INI; }

}  // namespace tavro
