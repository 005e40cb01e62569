// The CPU time of one tick of a running launcher whose jobs are all read and none is due: what the
// launcher costs a plant server between its launches. Usage: tick_bench FILE.ini [TICKS]
// Prints the median CPU time per tick in milliseconds over batches of ticks.

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/date_time.h"
#include "window/launch_preview.h"

namespace {

using namespace tavro;

double CpuMs() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: tick_bench FILE.ini [TICKS]\n");
    return 2;
  }
  const int ticks = argc > 2 ? std::atoi(argv[2]) : 300;
  // Between the hour's readings: five past ten, and ten seconds a tick.
  SimulatedLauncher launcher(argv[1], MakeDateTime(2026, 12, 7, 10, 5));
  if (!launcher.Valid()) {
    std::fprintf(stderr, "tick_bench: %s is not a valid configuration\n", argv[1]);
    return 1;
  }
  std::vector<double> perTick;
  constexpr int kBatch = 10;
  for (int done = 0; done < ticks; done += kBatch) {
    const double start = CpuMs();
    for (int i = 0; i < kBatch; ++i) launcher.Tick();
    perTick.push_back((CpuMs() - start) / kBatch);
  }
  std::sort(perTick.begin(), perTick.end());
  std::printf("%.4f\n", perTick[perTick.size() / 2]);
  return 0;
}
