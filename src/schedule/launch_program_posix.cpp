// Programs are spawned as the launcher's own children, in a session of their own, and reaped the
// moment they end by a SIGCHLD handler that knows their process ids: nothing the launcher starts
// is ever left as a zombie, and other children of the process (a systemctl that the service host
// runs, say) are left to whoever started them. Should more programs run at once than the handler
// keeps ids for, a program starts through an intermediate child instead, which exits at once and
// leaves the program to init. The handler keeps how a watched program ended, and when, until the
// launcher asks: the end is learnt from the reaping itself, with no wait and no thread. A run time
// limit is kept by the watch of run_limits_posix.cpp, which flags the slot before it ends the run.

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "schedule/launch_program.h"
#include "schedule/run_limits_posix.h"
#include "support/process_path.h"

extern char** environ;

namespace tavro {
namespace {

class SpawnSetup {
 public:
  SpawnSetup() {
    actionsReady_ = posix_spawn_file_actions_init(&actions_) == 0;
    attributesReady_ = posix_spawnattr_init(&attributes_) == 0;
  }
  ~SpawnSetup() {
    if (actionsReady_) posix_spawn_file_actions_destroy(&actions_);
    if (attributesReady_) posix_spawnattr_destroy(&attributes_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  // Standard streams on /dev/null, the given folder, no descriptor of the launcher (the single
  // instance lock among them), a session of its own, default signal handling and an empty mask.
  int Prepare(const std::string& directory) {
    if (!actionsReady_ || !attributesReady_) return ENOMEM;
    int result = posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (result == 0) result = posix_spawn_file_actions_addopen(&actions_, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (result == 0) result = posix_spawn_file_actions_addopen(&actions_, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    if (result == 0 && !directory.empty()) result = posix_spawn_file_actions_addchdir_np(&actions_, directory.c_str());
    if (result == 0) result = posix_spawn_file_actions_addclosefrom_np(&actions_, STDERR_FILENO + 1);
    if (result != 0) return result;

    sigset_t noSignals;
    sigset_t allSignals;
    sigemptyset(&noSignals);
    sigfillset(&allSignals);
    result = posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    if (result == 0) result = posix_spawnattr_setsigmask(&attributes_, &noSignals);
    if (result == 0) result = posix_spawnattr_setsigdefault(&attributes_, &allSignals);
    return result;
  }

  const posix_spawn_file_actions_t* Actions() const { return &actions_; }
  const posix_spawnattr_t* Attributes() const { return &attributes_; }

 private:
  posix_spawn_file_actions_t actions_{};
  posix_spawnattr_t attributes_{};
  bool actionsReady_ = false;
  bool attributesReady_ = false;
};

// The programs started and not yet reaped, and the watched ones reaped and not yet told. A slot's
// pid is 0 when free, -1 while taken by a start in progress or by an end not yet told, and the
// program's id while it runs; its other fields are written before the pid is published.
struct Slot {
  std::atomic<pid_t> pid{0};
  std::atomic<bool> ended{false};
  std::atomic<bool> limited{false};  // the watch of the limits knows it
  std::atomic<bool> byLimit{false};  // the watch of the limits is ending it
  std::atomic<RunId> run{0};         // 0: not watched
  pid_t leader = 0;  // the program's id, kept after its reaping
  std::int64_t startMs = 0;
  std::int64_t endMs = 0;
  int status = 0;
};
constexpr int kMostRunning = 4096;
Slot running[kMostRunning];
// Slots from this one on were never taken: a free slot is the first one found, so this stays near the
// most programs that ran at once, and the handler and the tick look at those slots, not at 4096.
std::atomic<int> slotsUsed{0};
std::atomic<RunId> lastRun{0};
std::atomic<std::uint64_t> unwatched{0};

bool Reap(Slot& slot) {
  pid_t pid = slot.pid.load();
  int status = 0;
  if (pid <= 0 || waitpid(pid, &status, WNOHANG) != pid) return false;
  if (slot.run == 0) {
    slot.pid.compare_exchange_strong(pid, 0);
    return true;
  }
  slot.status = status;
  slot.endMs = KernelMonotonicMs();
  slot.pid.compare_exchange_strong(pid, -1);
  slot.ended.store(true);
  return true;
}

void OnChildEnded(int) {
  const int saved = errno;
  const int used = slotsUsed.load();
  for (int i = 0; i < used; ++i) Reap(running[i]);
  errno = saved;
}

void ReapWhenEnded() {
  static std::once_flag installed;
  std::call_once(installed, [] {
    struct sigaction action {};
    action.sa_handler = OnChildEnded;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_NOCLDSTOP;
    sigaction(SIGCHLD, &action, nullptr);
  });
}

// The slot of a watched program not yet told as ended.
Slot* SlotOf(RunId run) {
  const int used = slotsUsed.load();
  for (int i = 0; i < used; ++i) {
    if (running[i].run.load() == run) return &running[i];
  }
  return nullptr;
}

// A free slot for a program about to start, or nullptr when all are taken.
Slot* FreeSlot() {
  for (int i = 0; i < kMostRunning; ++i) {
    pid_t free = 0;
    if (!running[i].pid.compare_exchange_strong(free, -1)) continue;
    // Counted before the program's id is published, so that the handler reaps it.
    int used = slotsUsed.load();
    while (used <= i && !slotsUsed.compare_exchange_weak(used, i + 1)) {
    }
    return &running[i];
  }
  return nullptr;
}

int Spawn(bool searchPath, const std::string& file, const SpawnSetup& setup, char* const* argv, pid_t& started) {
  return searchPath ? posix_spawnp(&started, file.c_str(), setup.Actions(), setup.Attributes(), argv, environ)
                    : posix_spawn(&started, file.c_str(), setup.Actions(), setup.Attributes(), argv, environ);
}

// The program as the grandchild of an intermediate child that exits at once.
int SpawnDetached(bool searchPath, const std::string& file, const SpawnSetup& setup, char* const* argv) {
  const pid_t intermediate = fork();
  if (intermediate < 0) return errno;
  if (intermediate == 0) {
    pid_t started = 0;
    _exit(Spawn(searchPath, file, setup, argv, started));
  }
  int status = 0;
  while (waitpid(intermediate, &status, 0) < 0) {
    if (errno != EINTR) return errno;
  }
  // An intermediate child killed before it could report leaves the start's outcome unknown.
  return WIFEXITED(status) ? WEXITSTATUS(status) : ECHILD;
}

}  // namespace

// The show mode has no meaning without windows: every program starts without a terminal.
int LaunchProgram(const std::string& program, const std::string& arguments, const std::string& directory,
                  std::uint16_t /*showMode*/, RunId* watched) {
  if (watched != nullptr) *watched = 0;
  // The program runs as written, blanks and all; only the argument text is split, by the rules a
  // Windows program applies to its command line.
  std::vector<std::string> words = SplitCommandLine(arguments);
  words.insert(words.begin(), program);
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  // A relative path names a file from the launcher's folder, never from the folder it was started
  // in (which may belong to another account) nor from the program's new working folder; a bare
  // name is looked for along PATH.
  const bool searchPath = program.find('/') == std::string::npos;
  std::string file = program;
  if (!searchPath && program.front() != '/') {
    const std::string launcherFolder = FolderOf(CurrentExecutablePath());
    if (launcherFolder.empty()) return ENOENT;  // no /proc: better no start than a guess
    file = launcherFolder + "/" + program;
  }

  SpawnSetup setup;
  if (const int result = setup.Prepare(directory); result != 0) return result;

  ReapWhenEnded();
  Slot* slot = FreeSlot();
  if (slot == nullptr) {
    const int result = SpawnDetached(searchPath, file, setup, argv.data());
    if (result == 0 && watched != nullptr) ++unwatched;
    return result;
  }
  slot->run = watched != nullptr ? ++lastRun : 0;
  slot->limited = false;
  slot->byLimit = false;
  slot->startMs = KernelMonotonicMs();
  pid_t started = 0;
  const int result = Spawn(searchPath, file, setup, argv.data(), started);
  if (result != 0) slot->run = 0;
  if (watched != nullptr) *watched = slot->run;
  slot->leader = started;
  slot->pid.store(result == 0 ? started : 0);
  // The program may have ended before its id was kept, its SIGCHLD finding nothing to reap.
  if (result == 0) Reap(*slot);
  return result;
}

std::vector<RunEnd> TakeRunEnds() {
  std::vector<RunEnd> ends;
  const int used = slotsUsed.load();
  for (int i = 0; i < used; ++i) {
    Slot& slot = running[i];
    if (!slot.ended.load()) continue;
    const int status = slot.status;
    if (slot.limited.exchange(false)) ForgetProcessTree(slot.leader);
    ends.push_back({slot.run, WIFSIGNALED(status), WIFSIGNALED(status) ? WTERMSIG(status) : WEXITSTATUS(status),
                    slot.endMs - slot.startMs, slot.byLimit.load()});
    slot.run = 0;
    slot.ended.store(false);
    slot.pid.store(0);
  }
  return ends;
}

std::uint64_t UnwatchedRuns() { return unwatched.load(); }

std::int64_t WatchedProcessId(RunId run) {
  const Slot* slot = run != 0 ? SlotOf(run) : nullptr;
  return slot != nullptr ? std::max<pid_t>(slot->pid.load(), 0) : 0;
}

void EndRunAfter(RunId run, std::int64_t milliseconds) {
  Slot* slot = run != 0 ? SlotOf(run) : nullptr;
  const pid_t leader = slot != nullptr ? slot->pid.load() : 0;
  if (leader <= 0) return;  // ended already
  slot->limited = true;
  EndProcessTreeAt(leader, slot->startMs + milliseconds, [slot, run, leader] {
    if (slot->run.load() != run || slot->pid.load() != leader) return false;
    slot->byLimit = true;
    return true;
  });
}

}  // namespace tavro
