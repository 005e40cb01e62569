#include "schedule/run_limits_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace tavro {
namespace {

constexpr std::int64_t kGraceMs = 10000;  // from SIGTERM to SIGKILL

struct Limit {
  pid_t leader;
  std::int64_t atMs;
  std::function<bool()> stillRuns;
  bool terminated = false;  // SIGTERM sent; atMs is then the time of SIGKILL
};

// The session and process group of a process, from /proc/PID/stat: the fields after the command's
// closing parenthesis are its state, parent, process group and session.
bool GroupAndSession(const char* pid, pid_t& group, pid_t& session) {
  char path[64];
  char text[512];
  std::snprintf(path, sizeof path, "/proc/%s/stat", pid);
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const ssize_t length = read(fd, text, sizeof text - 1);
  close(fd);
  if (length <= 0) return false;
  text[length] = '\0';
  const char* fields = std::strrchr(text, ')');
  int parent = 0, groupId = 0, sessionId = 0;
  char state = 0;
  if (fields == nullptr || std::sscanf(fields + 1, " %c %d %d %d", &state, &parent, &groupId, &sessionId) != 4) {
    return false;
  }
  group = groupId;
  session = sessionId;
  return true;
}

// The leader's process group, and every process of its session that moved to a group of its own.
// A process that left the session (setsid) is out of reach, as it is of a terminal's hangup.
void EndTree(pid_t leader, int signal) {
  kill(-leader, signal);
  DIR* processes = opendir("/proc");
  if (processes == nullptr) return;
  while (const dirent* entry = readdir(processes)) {
    if (entry->d_name[0] < '1' || entry->d_name[0] > '9') continue;
    pid_t group = 0, session = 0;
    if (GroupAndSession(entry->d_name, group, session) && session == leader && group != leader) {
      kill(static_cast<pid_t>(std::atoi(entry->d_name)), signal);
    }
  }
  closedir(processes);
}

class Watch {
 public:
  Watch() {
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
    // No signal of the process is delivered to the watch: its handlers and waits stay the main thread's.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    try {
      std::thread([this] { Run(); }).detach();
      running_ = true;
    } catch (const std::system_error&) {
      // No thread to be had: runs are not limited, as programs beyond the watched ones are not.
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  }

  void Forget(pid_t leader) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto found = std::find_if(limits_.begin(), limits_.end(),
                                    [leader](const Limit& limit) { return limit.leader == leader && !limit.terminated; });
    if (found != limits_.end()) limits_.erase(found);
  }

  void Add(Limit limit) {
    if (!running_) return;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      limits_.push_back(std::move(limit));
    }
    const char byte = 0;
    if (write(wake_[1], &byte, 1) < 0) {
      // full already, or no pipe: the watch wakes anyway
    }
  }

 private:
  void Run() {
    for (;;) {
      const std::int64_t now = KernelMonotonicMs();
      std::int64_t next = LLONG_MAX;
      {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = limits_.begin(); it != limits_.end();) {
          if (it->atMs <= now && !Act(*it, now)) {
            it = limits_.erase(it);
            continue;
          }
          next = std::min(next, it->atMs);
          ++it;
        }
      }
      // A clock that a library speeds up wakes the watch early, never late: it looks again.
      std::int64_t timeout = next == LLONG_MAX ? -1 : std::max<std::int64_t>(next - now, 0);
      if (wake_[0] < 0 && (timeout < 0 || timeout > 1000)) timeout = 1000;
      pollfd wake{wake_[0], POLLIN, 0};
      poll(&wake, 1, static_cast<int>(std::min<std::int64_t>(timeout, INT_MAX)));
      char bytes[64];
      while (wake_[0] >= 0 && read(wake_[0], bytes, sizeof bytes) > 0) {
      }
    }
  }

  // Whether the limit is still to be kept after acting on it.
  static bool Act(Limit& limit, std::int64_t now) {
    if (limit.terminated) {
      EndTree(limit.leader, SIGKILL);
      return false;
    }
    if (!limit.stillRuns()) return false;
    EndTree(limit.leader, SIGTERM);
    limit.terminated = true;
    limit.atMs = now + kGraceMs;
    return true;
  }

  std::mutex mutex_;
  std::vector<Limit> limits_;
  int wake_[2] = {-1, -1};
  bool running_ = false;
};

// Made at the first limit and never destroyed: its thread may outlive the static objects at exit.
Watch& TheWatch() {
  static Watch* watch = new Watch;
  return *watch;
}

}  // namespace

std::int64_t KernelMonotonicMs() {
  timespec now{};
  syscall(SYS_clock_gettime, CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void EndProcessTreeAt(pid_t leader, std::int64_t atMs, std::function<bool()> stillRuns) {
  TheWatch().Add({leader, atMs, std::move(stillRuns)});
}

void ForgetProcessTree(pid_t leader) { TheWatch().Forget(leader); }

}  // namespace tavro
