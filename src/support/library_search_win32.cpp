#include <windows.h>

#include "support/library_search.h"

namespace tavro {

void LoadSystemLibrariesFromSystemFolder() { SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32); }

}  // namespace tavro
