#include "support/idle_memory.h"

#include <windows.h>

namespace tavro {

void ReleaseIdleMemory(bool /*withHeap*/) {
  // The working set trimmed: the pages stay in memory, counted no longer, until touched again.
  SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}

}  // namespace tavro
