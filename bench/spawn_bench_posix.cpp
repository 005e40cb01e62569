// The launcher's own work per program start, against a plain posix_spawn of the same program.
// Usage: spawn_bench [STARTS] [PROGRAM]. Prints two medians in milliseconds: LaunchProgram, and
// posix_spawn alone. Every child has ended and been reaped before each measured start, so that
// neither figure pays for a child still running beside it.

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "schedule/launch_program.h"

extern char** environ;

namespace {

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int starts = argc > 1 ? std::atoi(argv[1]) : 300;
  const std::string program = argc > 2 ? argv[2] : "/bin/true";
  std::vector<double> launcher, direct;
  for (int i = 0; i < starts; ++i) {
    auto start = std::chrono::steady_clock::now();
    if (tavro::LaunchProgram(program, "", "", tavro::kShowHidden) != 0) return 1;
    launcher.push_back(MsSince(start));
    while (waitpid(-1, nullptr, 0) > 0) {
    }

    char* args[] = {const_cast<char*>(program.c_str()), nullptr};
    pid_t child = 0;
    start = std::chrono::steady_clock::now();
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, args, environ) != 0) return 1;
    direct.push_back(MsSince(start));
    waitpid(child, nullptr, 0);
  }
  std::printf("%.3f %.3f\n", Median(launcher), Median(direct));
  return 0;
}
