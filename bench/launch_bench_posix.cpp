// The launcher's processor time per program start through its real timer cycle, against the least a
// launcher must do for one: posix_spawn with the same setup and the two log entries of a launch.
// Usage: launch_bench FILE.ini FOLDER [TICKS]
// FILE.ini: pumps of /bin/true due every minute; FOLDER: where both logs go. The ticks come a minute
// apart on a simulated clock, so every pump falls due at each; the log is echoed to standard error.
// Prints two medians in milliseconds per start, over the ticks: the launcher's, and the anchor's;
// then the same two with the waits left in. Where the kernel's share of a child's start and end
// is charged (before or during the wait for it) differs between the two sides, so both are shown.
// Only the process's own time counts (its children's is not in it), and every child has ended
// before each start on both sides: the waits for them are taken out of both figures.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "jobs/launcher_state.h"
#include "schedule/job_times_keeper.h"
#include "schedule/launch_program.h"
#include "sources/open_gates.h"
#include "support/date_time.h"
#include "support/date_time_text.h"
#include "support/log_file.h"
#include "support/simulated_clock.h"
#include "support/stderr_echo_posix.h"
#include "window/control_window.h"

extern char** environ;

namespace {

using namespace tavro;

double CpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Blocks until a child has ended, without reaping it: the launcher's own handler reaps its children.
void WaitForAChild() {
  siginfo_t info{};
  if (waitid(P_ALL, 0, &info, WEXITED | WNOWAIT) != 0) {
    const timespec pause{0, 50000};
    nanosleep(&pause, nullptr);
  }
}

// The launcher's starter, holding back each tick until the program it started has ended: the ends
// it learns while waiting are handed to the tick afterwards, as the real starter would hand them.
class WaitingStarter final : public ProgramStarter {
 public:
  int Launch(const std::string& program, const std::string& arguments, const std::string& directory,
             std::uint16_t showMode, RunId* watched) override {
    const int result = real_.Launch(program, arguments, directory, showMode, watched);
    if (result == 0) ++started_;
    return result;
  }
  std::int64_t ProcessId(RunId run) const override { return real_.ProcessId(run); }
  void EndAfter(RunId run, std::int64_t milliseconds) override { real_.EndAfter(run, milliseconds); }
  std::vector<RunEnd> TakeEnds() override {
    std::vector<RunEnd> ends;
    ends.swap(ends_);
    return ends;
  }
  void WaitForAll() {
    for (;;) {
      for (const RunEnd& end : real_.TakeEnds()) ends_.push_back(end);
      if (ended_ + ends_.size() >= started_) break;
      WaitForAChild();
    }
    ended_ += ends_.size();
  }

 private:
  SystemProgramStarter real_;
  std::size_t started_ = 0;
  std::size_t ended_ = 0;
  std::vector<RunEnd> ends_;
};

// tavrorun -A without a terminal, but for the pause after a launch: it waits for the program to
// end instead of two seconds, and keeps the processor time of that wait apart.
class BenchFace final : public WindowFace {
 public:
  explicit BenchFace(WaitingStarter& starter) : starter_(starter) {}
  bool Visible() const override { return true; }
  void Hide() override {}
  void Close() override {}
  void ProcessMessages() override {}
  bool WaitTakingCommands(Clock& clock, int milliseconds) override {
    const double start = CpuMs();
    starter_.WaitForAll();
    waitedCpuMs += CpuMs() - start;
    clock.Wait(milliseconds);
    return true;
  }
  double waitedCpuMs = 0;

 private:
  WaitingStarter& starter_;
};

// The anchor's one start: the launcher's spawn setup (streams on /dev/null, the program's folder,
// no inherited descriptors, a session of its own, default signals), then the two entries written
// to the log file and to standard error, then the wait for the child, kept apart, and its reaping.
bool AnchorStart(const char* program, const std::string& logFile, const std::string& first,
                 const std::string& second, double& waitedCpuMs) {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attributes);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addchdir_np(&actions, "/bin");
  posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
  sigset_t noSignals, allSignals;
  sigemptyset(&noSignals);
  sigfillset(&allSignals);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  posix_spawnattr_setsigmask(&attributes, &noSignals);
  posix_spawnattr_setsigdefault(&attributes, &allSignals);
  char* args[] = {const_cast<char*>(program), nullptr};
  pid_t child = 0;
  const int result = posix_spawn(&child, program, &actions, &attributes, args, environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (result != 0) return false;

  for (const std::string* entry : {&first, &second}) {
    // The stamp of the moment, as a log entry carries it.
    char stamp[32];
    const time_t now = time(nullptr);
    tm local{};
    localtime_r(&now, &local);
    const std::size_t length = strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    std::string line(stamp, length);
    line += *entry;
    const int fd = open(logFile.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0 || write(fd, line.data(), line.size()) < 0) return false;
    close(fd);
    line.replace(line.size() - 2, 2, "\n");
    if (write(STDERR_FILENO, line.data(), line.size()) < 0) {
      // standard error closed: nothing to echo to, as for the launcher
    }
  }

  // The wait is left out, the reaping counted: the launcher's handler reaps its children too.
  const double start = CpuMs();
  siginfo_t ended{};
  waitid(P_PID, static_cast<id_t>(child), &ended, WEXITED | WNOWAIT);
  waitedCpuMs += CpuMs() - start;
  waitpid(child, nullptr, 0);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: launch_bench FILE.ini FOLDER [TICKS]\n");
    return 2;
  }
  const std::string folder = argv[2];
  const int ticks = argc > 3 ? std::atoi(argv[3]) : 40;

  // Half past the minute: never in the hour's first seconds, when the tick reads the file again.
  DateTime tickTime = MakeDateTime(2026, 12, 7, 10, 5, 30);
  SimulatedClock clock(tickTime);
  LauncherState state;
  DailyLogFile log(folder + "/tavrorun", clock);
  log.EchoTo(&StderrEcho());
  WaitingStarter starter;
  OpenGates sources;
  // The job times as the launcher keeps them, written as each program starts.
  JobTimesKeeper jobTimes;
  std::string problem;
  if (!jobTimes.Open(folder + "/tavrorun.jobs", clock.InstantNow(), problem)) {
    std::fprintf(stderr, "launch_bench: %s\n", problem.c_str());
    return 1;
  }
  ControlWindow window({.state = state,
                        .log = log,
                        .clock = clock,
                        .starter = starter,
                        .sources = sources,
                        .logFindings = true,
                        .keepStatusFile = true,
                        .jobTimes = &jobTimes},
                       {"-A"}, true);
  BenchFace face(starter);
  window.AttachFace(&face);
  window.FormCreate(folder + "/tavrorun", argv[1]);
  window.FormActivate();
  if (!state.Settings.IniValid || !window.Running()) {
    std::fprintf(stderr, "launch_bench: %s is not a valid configuration\n", argv[1]);
    return 1;
  }
  const int jobs = state.Pumps.count;

  const auto tick = [&] {
    tickTime.ms += 60 * 1000;
    clock.Set(tickTime);
    window.timrTimer();
  };
  tick();  // the first tick: whatever start-up left to do
  const JobRecord& record = state.Status.Job(JobKind::Pump, jobs);
  if (record.result != LaunchResult::Launched) {
    std::fprintf(stderr, "launch_bench: the pumps did not launch (%s)\n", record.lastCommand.c_str());
    return 1;
  }
  // The anchor's entries, as long as the launcher's two of a launch.
  const std::string first = "\t" + record.lastCommand + " launched successfully\r\n";
  const std::string second =
      "\tLast time for pump " + std::to_string(jobs) + " set to " + DateTimeText(tickTime) + "\r\n";
  const std::string anchorLog = folder + "/anchor.txt";

  std::vector<double> launcher, anchor, launcherWhole, anchorWhole;
  for (int i = 0; i < ticks; ++i) {
    face.waitedCpuMs = 0;
    double start = CpuMs();
    tick();
    launcher.push_back((CpuMs() - start - face.waitedCpuMs) / jobs);
    launcherWhole.push_back((CpuMs() - start) / jobs);

    double waited = 0;
    start = CpuMs();
    for (int job = 0; job < jobs; ++job) {
      if (!AnchorStart("/bin/true", anchorLog, first, second, waited)) return 1;
    }
    anchor.push_back((CpuMs() - start - waited) / jobs);
    anchorWhole.push_back((CpuMs() - start) / jobs);
  }
  // What the job times add to each launch: one job's record written, as the tick writes it.
  constexpr int kWrites = 20000;
  const double start = CpuMs();
  for (int i = 0; i < kWrites; ++i) jobTimes.WriteJob(state, JobKind::Pump, i % jobs, clock.InstantNow());
  const double jobTimesUs = (CpuMs() - start) * 1000 / kWrites;
  std::printf("%.4f %.4f %.4f %.4f %.2f\n", Median(launcher), Median(anchor), Median(launcherWhole),
              Median(anchorWhole), jobTimesUs);
  return 0;
}
