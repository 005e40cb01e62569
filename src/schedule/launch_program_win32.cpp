// The process handle of a watched program is kept, and looked at without waiting whenever the
// launcher asks for the ends: an ended program gives its exit code and its times, and its handle is
// closed. At most kMostWatched are kept; a program started beyond that is released at once. A watched
// program starts in a job object of its own, which the programs it starts join: its run time limit,
// a timer of the system's timer queue, ends the job as a whole.

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "schedule/launch_program.h"
#include "support/process_path.h"

namespace tavro {

namespace {

// A path such as "jobs\pump.exe" names a file of the launcher's folder, never of the folder the
// launcher was started in, which may belong to another account. A bare name keeps the system's
// search (the launcher's folder first); a path from a drive or a root is taken as written.
std::string ProgramFromLauncherFolder(const std::string& program) {
  if (!IsRelativeWithFolder(program)) return {};
  std::string file = FolderOf(CurrentExecutablePath()) + "\\" + program;
  // As the command line's search would, a file name without an extension means a ".exe".
  if (FileNameOf(file).find('.') == std::string::npos) file += ".exe";
  return file;
}

// The exit code of the processes of a job ended at its limit: the system's "timeout" error.
constexpr UINT kLimitExitCode = ERROR_TIMEOUT;

// What the timer's callback needs, on a thread of the timer queue: kept until the timer is deleted.
struct RunLimit {
  HANDLE job = nullptr;  // none when the program could not join one: the limit ends it alone
  HANDLE process = nullptr;
  HANDLE timer = nullptr;
  std::atomic<bool> reached{false};
};

VOID CALLBACK OnLimitReached(PVOID parameter, BOOLEAN) {
  RunLimit& limit = *static_cast<RunLimit*>(parameter);
  limit.reached = true;
  if (limit.job == nullptr || !TerminateJobObject(limit.job, kLimitExitCode)) {
    TerminateProcess(limit.process, kLimitExitCode);
  }
}

struct WatchedProcess {
  HANDLE process;
  RunId run;
  std::unique_ptr<RunLimit> limit;
};

constexpr std::size_t kMostWatched = 1024;

// Kept process-wide, as the POSIX side keeps the ids its SIGCHLD handler reaps.
std::vector<WatchedProcess>& Watched() {
  static std::vector<WatchedProcess> watched;
  return watched;
}
RunId lastRun = 0;
std::atomic<std::uint64_t> unwatched{0};

std::int64_t Milliseconds(const FILETIME& time) {
  ULARGE_INTEGER value;
  value.LowPart = time.dwLowDateTime;
  value.HighPart = time.dwHighDateTime;
  return static_cast<std::int64_t>(value.QuadPart / 10000);  // 100 ns units
}

}  // namespace

int LaunchProgram(const std::string& program, const std::string& arguments, const std::string& directory,
                  std::uint16_t showMode, RunId* watched) {
  if (watched != nullptr) *watched = 0;
  std::string commandLine = program;
  if (!arguments.empty()) commandLine += " " + arguments;
  // CreateProcessA may write into the command line, so it gets a buffer of its own.
  std::vector<char> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back('\0');

  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_FORCEONFEEDBACK;
  startup.wShowWindow = showMode;
  PROCESS_INFORMATION started;
  ZeroMemory(&started, sizeof started);

  // An empty folder text would make every such start fail; it means the launcher's own folder.
  const char* folder = directory.empty() ? nullptr : directory.c_str();
  // The command line stays as written: the program sees the path it was named by.
  const std::string file = ProgramFromLauncherFolder(program);
  // A watched program joins its job before it runs, so that all it starts joins it too.
  const bool watch = watched != nullptr && Watched().size() < kMostWatched;
  if (!CreateProcessA(file.empty() ? nullptr : file.c_str(), buffer.data(), nullptr, nullptr, FALSE,
                      NORMAL_PRIORITY_CLASS | (watch ? CREATE_SUSPENDED : 0), nullptr, folder, &startup, &started)) {
    return static_cast<int>(GetLastError());
  }
  auto limit = std::make_unique<RunLimit>();
  limit->process = started.hProcess;
  if (watch) {
    limit->job = CreateJobObjectA(nullptr, nullptr);
    if (limit->job != nullptr && !AssignProcessToJobObject(limit->job, started.hProcess)) {
      CloseHandle(limit->job);
      limit->job = nullptr;
    }
    ResumeThread(started.hThread);
  }
  CloseHandle(started.hThread);
  if (watch) {
    *watched = ++lastRun;
    Watched().push_back({started.hProcess, *watched, std::move(limit)});
  } else {
    CloseHandle(started.hProcess);
    if (watched != nullptr) ++unwatched;
  }
  return 0;
}

std::vector<RunEnd> TakeRunEnds() {
  std::vector<RunEnd> ends;
  std::vector<WatchedProcess>& watched = Watched();
  for (auto it = watched.begin(); it != watched.end();) {
    if (WaitForSingleObject(it->process, 0) != WAIT_OBJECT_0) {
      ++it;
      continue;
    }
    DWORD code = 0;
    GetExitCodeProcess(it->process, &code);
    FILETIME created{}, exited{}, kernel{}, user{};
    const std::int64_t milliseconds = GetProcessTimes(it->process, &created, &exited, &kernel, &user)
                                          ? Milliseconds(exited) - Milliseconds(created)
                                          : 0;
    RunLimit& limit = *it->limit;
    // Deleted with its callback finished, should it have been running.
    if (limit.timer != nullptr) DeleteTimerQueueTimer(nullptr, limit.timer, INVALID_HANDLE_VALUE);
    ends.push_back({it->run, false, static_cast<std::int64_t>(code), milliseconds, limit.reached.load()});
    if (limit.job != nullptr) CloseHandle(limit.job);
    CloseHandle(it->process);
    it = watched.erase(it);
  }
  return ends;
}

std::uint64_t UnwatchedRuns() { return unwatched.load(); }

std::int64_t WatchedProcessId(RunId run) {
  for (const WatchedProcess& watched : Watched()) {
    if (watched.run == run) return static_cast<std::int64_t>(GetProcessId(watched.process));
  }
  return 0;
}

void EndRunAfter(RunId run, std::int64_t milliseconds) {
  for (WatchedProcess& watched : Watched()) {
    if (watched.run != run || watched.limit->timer != nullptr) continue;
    // From the program's start, as its run time is counted.
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    GetSystemTimeAsFileTime(&now);
    const std::int64_t ran = GetProcessTimes(watched.process, &created, &exited, &kernel, &user)
                                 ? std::max<std::int64_t>(Milliseconds(now) - Milliseconds(created), 0)
                                 : 0;
    const std::int64_t due = std::max<std::int64_t>(milliseconds - ran, 0);
    CreateTimerQueueTimer(&watched.limit->timer, nullptr, OnLimitReached, watched.limit.get(),
                          static_cast<DWORD>(std::min<std::int64_t>(due, MAXDWORD - 1)), 0, WT_EXECUTEONLYONCE);
    return;
  }
}

}  // namespace tavro
