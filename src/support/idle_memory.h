#pragma once
// What a launcher at rest gives back. Between its ticks the launcher only waits, yet the code that
// a reading or a tick ran, and the heap a reading freed, stay counted against it until the system
// runs short of memory; given back, they come again from the system's file cache, page by page, as
// the code runs again: a few hundred microseconds of a tick every ten seconds.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavro {

class IdleMemory {
 public:
  // After a tick. `afterReading`: the configuration was read since the last call (the first call
  // counts as one), and the heap's freed top is given back too.
  void Release(bool afterReading);

 private:
  struct Range {
    std::uintptr_t start;
    std::size_t length;
  };
  // The code mappings that are still the files' own bytes, as found at the last reading.
  std::vector<Range> code_;
};

}  // namespace tavro
