#pragma once
// The watch over the run time limits of the programs the launcher starts: a thread of its own,
// started at the first limit, that sleeps until the next limit passes. Each program leads a session
// and process group of its own, so ending those ends whatever it started that stayed in them.

#include <sys/types.h>

#include <cstdint>
#include <functional>

namespace tavro {

// The kernel's monotonic clock asked directly, not through the C library: a library that wraps
// clock_gettime (libfaketime, say) need not be re-entrant in a signal handler, and a run's start,
// end and limit must all come from the one clock.
std::int64_t KernelMonotonicMs();

// When KernelMonotonicMs reaches `atMs`, asks `stillRuns` (on the watch's thread) whether the program
// `leader` still runs; if it does, its process group and session get SIGTERM, and SIGKILL 10 s later.
void EndProcessTreeAt(pid_t leader, std::int64_t atMs, std::function<bool()> stillRuns);
// The program `leader` has ended before its limit: the watch lets it go (a tree being ended is
// still sent its SIGKILL).
void ForgetProcessTree(pid_t leader);

}  // namespace tavro
