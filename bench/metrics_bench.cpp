// The wall time of writing the metrics file of a launcher with 1,000 jobs that have all run: the
// text made from the status record and put in place by the atomic replace, as each status change
// does. Usage: metrics_bench FOLDER [JOBS] [RUNS]. Prints the median in milliseconds and the file's
// size in bytes.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "jobs/status_metrics.h"
#include "support/atomic_file.h"

namespace {

using namespace tavro;

StatusRecord BusyRecord(int jobs) {
  StatusRecord record;
  record.version = "1.0.0";
  record.state = LauncherRunState::Running;
  record.reading = {ZonedTime{MakeDateTime(2026, 12, 7, 10, 0, 0), 60}, true, 3, 11, 1};
  record.source = {"mssql", "read of FI101 gave -20", ZonedTime{MakeDateTime(2026, 12, 7, 9, 58, 0), 60}, 7};
  for (int i = 0; i < jobs; ++i) {
    StatusRecord::Job& job = record.jobs.emplace_back();
    job.kind = static_cast<JobKind>(i % 4);
    job.number = i / 4 + 1;
    job.section = std::string(JobKindName(job.kind)) + "_" + std::to_string(job.number);
    job.name = "C:\\Tavro\\jobs\\unit" + std::to_string(i) + "\\balance.exe";
    job.lastLaunch = ZonedTime{MakeDateTime(2026, 12, 7, 10, 4, i % 60, i % 1000), 60};
    job.lastEnd = RunEndRecord{false, i % 3, 1200};
    job.counts = {static_cast<std::uint64_t>(1000 + i), 2, 30, 4, 5, 6, 7};
    job.runsNow = i % 2;
  }
  return record;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: metrics_bench FOLDER [JOBS] [RUNS]\n");
    return 2;
  }
  const std::string path = std::string(argv[1]) + "/tavrorun.prom";
  const int jobs = argc > 2 ? std::atoi(argv[2]) : 1000;
  const int runs = argc > 3 ? std::atoi(argv[3]) : 201;
  const StatusRecord record = BusyRecord(jobs);
  std::vector<double> ms;
  std::size_t size = 0;
  for (int run = 0; run < runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    const std::string text = MetricsText(record);
    std::string error;
    if (!ReplaceFileAtomically(path, text, error)) {
      std::fprintf(stderr, "metrics_bench: %s\n", error.c_str());
      return 1;
    }
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    size = text.size();
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%.3f %zu\n", ms[ms.size() / 2], size);
  return 0;
}
