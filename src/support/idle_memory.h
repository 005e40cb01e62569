#pragma once
// What a launcher at rest gives back. Between its ticks the launcher only waits, yet the code and
// read-only data that a reading or a tick used, and the heap a reading freed, stay counted against
// it until the system runs short of memory. Given back, the pages come again from the system's file
// cache as they are used: about fifteen minor faults at each tick, every ten seconds.

namespace tavro {

// Unmaps the pages of the code and read-only data of the program and its libraries. `withHeap`:
// the heap's free top goes back to the system too (after a reading, which frees much of it).
// Nothing depends on it working: errors are ignored.
void ReleaseIdleMemory(bool withHeap);

}  // namespace tavro
