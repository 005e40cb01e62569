// The processor time (user and system) and the wall time of whole programs, the runs of several
// programs interleaved so that a machine getting busier meanwhile weighs on all of them alike.
// Usage: cpu_time [--faults] RUNS -- PROGRAM [ARG...] [< FILE] [-- PROGRAM [ARG...] [< FILE]]...
// ("<" as an argument of its own: the program reads FILE on its standard input, else /dev/null.)
// Prints one line per program: the median processor time and the median wall time in milliseconds,
// and with --faults the median count of page faults: on a virtual machine a process's first touch
// of each page of its memory can cost more than the work it does with it.
// A program's output goes to /dev/null; its processor time is its own and that of the children it
// waited for, taken from the kernel's accounting (finer than the ticks `time` reports).

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Run {
  double cpuMs = 0;
  double wallMs = 0;
  double faults = 0;
  bool ok = false;
};

double Ms(const timeval& value) { return static_cast<double>(value.tv_sec) * 1e3 + static_cast<double>(value.tv_usec) / 1e3; }

double WallMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Program {
  char** argv;
  const char* input = "/dev/null";
};

Run RunOnce(const Program& program) {
  char** argv = program.argv;
  Run run;
  const double start = WallMs();
  const pid_t child = fork();
  if (child < 0) return run;
  if (child == 0) {
    const int input = open(program.input, O_RDONLY);
    const int null = open("/dev/null", O_WRONLY);
    if (input < 0 || null < 0) _exit(127);
    dup2(input, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execvp(argv[0], argv);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return run;
  run.wallMs = WallMs() - start;
  run.cpuMs = Ms(usage.ru_utime) + Ms(usage.ru_stime);
  run.faults = static_cast<double>(usage.ru_minflt + usage.ru_majflt);
  // A program that could not run says nothing of its speed; one that only judged its input wrong
  // (tavrocheck's findings) has still done the whole work.
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) != 127;
  return run;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const bool withFaults = argc > 1 && std::strcmp(argv[1], "--faults") == 0;
  const int first = withFaults ? 2 : 1;
  const int runs = argc > first ? std::atoi(argv[first]) : 0;
  std::vector<Program> programs;
  for (int i = first + 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "<") == 0 && i + 1 < argc && !programs.empty()) {
      argv[i] = nullptr;
      programs.back().input = argv[++i];
    } else if (std::strcmp(argv[i], "--") == 0) {
      argv[i] = nullptr;  // ends the argument list of the program before it
      if (i + 1 < argc) programs.push_back({argv + i + 1});
    }
  }
  if (runs < 1 || programs.empty()) {
    std::fprintf(stderr, "usage: cpu_time [--faults] RUNS -- PROGRAM [ARG...] [< FILE] [-- PROGRAM...]...\n");
    return 2;
  }
  std::vector<std::vector<double>> cpu(programs.size()), wall(programs.size()), faults(programs.size());
  for (int r = 0; r < runs; ++r) {
    for (std::size_t p = 0; p < programs.size(); ++p) {
      const Run run = RunOnce(programs[p]);
      if (!run.ok) {
        std::fprintf(stderr, "cpu_time: %s did not run\n", programs[p].argv[0]);
        return 1;
      }
      cpu[p].push_back(run.cpuMs);
      wall[p].push_back(run.wallMs);
      faults[p].push_back(run.faults);
    }
  }
  for (std::size_t p = 0; p < programs.size(); ++p) {
    std::printf("%.2f %.2f", Median(cpu[p]), Median(wall[p]));
    if (withFaults) std::printf(" %.0f", Median(faults[p]));
    std::printf("\n");
  }
  return 0;
}
