#include "support/idle_memory.h"

#include <malloc.h>
#include <sys/mman.h>

#include <cstdio>
#include <cstring>

namespace tavro {
namespace {

// A mapping of the process, as /proc/self/smaps describes it.
struct Mapping {
  std::uintptr_t start = 0;
  std::uintptr_t end = 0;
  bool fileCode = false;  // "r-xp" and backed by a file: a program's or a library's code
};

}  // namespace

void IdleMemory::Release(bool afterReading) {
  if (afterReading) {
    malloc_trim(0);
    code_.clear();
    std::FILE* maps = std::fopen("/proc/self/smaps", "re");
    if (maps == nullptr) return;
    Mapping mapping;
    char line[4096];
    while (std::fgets(line, sizeof line, maps) != nullptr) {
      unsigned long start = 0;
      unsigned long end = 0;
      char permissions[5] = {};
      char path[2] = {};
      unsigned long anonymous = 0;
      if (std::sscanf(line, "%lx-%lx %4s %*s %*s %*s %1s", &start, &end, permissions, path) >= 3) {
        mapping = {start, end, std::strcmp(permissions, "r-xp") == 0 && path[0] == '/'};
      } else if (std::sscanf(line, "Anonymous: %lu kB", &anonymous) == 1 && mapping.fileCode && anonymous == 0) {
        // Only code that is still the file's own bytes: dropping a written private page (a
        // debugger's breakpoint, data after relocation) would lose what was written.
        code_.push_back({mapping.start, mapping.end - mapping.start});
      }
    }
    std::fclose(maps);
  }
  for (const Range& range : code_) madvise(reinterpret_cast<void*>(range.start), range.length, MADV_DONTNEED);
}

}  // namespace tavro
