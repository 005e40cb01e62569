#include "support/library_search.h"

namespace tavro {

void LoadSystemLibrariesFromSystemFolder() {}

}  // namespace tavro
