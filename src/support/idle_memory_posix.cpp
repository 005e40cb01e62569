#include "support/idle_memory.h"

#include <link.h>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace tavro {
namespace {

// Whether the loader wrote relocations into the object's code when it was loaded: those pages are
// no longer the file's bytes, and dropping them would undo the relocations.
bool HasTextRelocations(const dl_phdr_info& object) {
  for (int i = 0; i < object.dlpi_phnum; ++i) {
    const ElfW(Phdr)& header = object.dlpi_phdr[i];
    if (header.p_type != PT_DYNAMIC) continue;
    for (auto* entry = reinterpret_cast<const ElfW(Dyn)*>(object.dlpi_addr + header.p_vaddr);
         entry->d_tag != DT_NULL; ++entry) {
      if (entry->d_tag == DT_TEXTREL) return true;
      if (entry->d_tag == DT_FLAGS && (entry->d_un.d_val & DF_TEXTREL) != 0) return true;
    }
  }
  return false;
}

// Called with the loader's lock held, so no object is unloaded (and its addresses reused) while
// its pages are given back.
int ReleaseObject(dl_phdr_info* object, std::size_t /*size*/, void* pageSize) {
  if (HasTextRelocations(*object)) return 0;
  const auto page = *static_cast<std::uintptr_t*>(pageSize);
  for (int i = 0; i < object->dlpi_phnum; ++i) {
    const ElfW(Phdr)& header = object->dlpi_phdr[i];
    // Only segments nobody may write: a writable one holds the program's data (the part made
    // read-only after relocation included).
    if (header.p_type != PT_LOAD || (header.p_flags & PF_W) != 0) continue;
    // Whole pages inside the segment only: a page it shares is left alone.
    const std::uintptr_t start = (object->dlpi_addr + header.p_vaddr + page - 1) & ~(page - 1);
    const std::uintptr_t end = (object->dlpi_addr + header.p_vaddr + header.p_memsz) & ~(page - 1);
    if (start < end) madvise(reinterpret_cast<void*>(start), end - start, MADV_DONTNEED);
  }
  return 0;
}

}  // namespace

void ReleaseIdleMemory(bool withHeap) {
  if (withHeap) malloc_trim(0);
  std::uintptr_t pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  dl_iterate_phdr(ReleaseObject, &pageSize);
}

}  // namespace tavro
