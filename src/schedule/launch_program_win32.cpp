// The process handle of a watched program is kept, and looked at without waiting whenever the
// launcher asks for the ends: an ended program gives its exit code and its times, and its handle is
// closed. At most kMostWatched are kept; a program started beyond that is released at once.

#include <windows.h>

#include <atomic>
#include <cstdint>
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

struct WatchedProcess {
  HANDLE process;
  RunId run;
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
  if (!CreateProcessA(file.empty() ? nullptr : file.c_str(), buffer.data(), nullptr, nullptr, FALSE,
                      NORMAL_PRIORITY_CLASS, nullptr, folder, &startup, &started)) {
    return static_cast<int>(GetLastError());
  }
  CloseHandle(started.hThread);
  if (watched == nullptr) {
    CloseHandle(started.hProcess);
  } else if (Watched().size() >= kMostWatched) {
    CloseHandle(started.hProcess);
    ++unwatched;
  } else {
    *watched = ++lastRun;
    Watched().push_back({started.hProcess, *watched});
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
    ends.push_back({it->run, false, static_cast<std::int64_t>(code), milliseconds});
    CloseHandle(it->process);
    it = watched.erase(it);
  }
  return ends;
}

std::uint64_t UnwatchedRuns() { return unwatched.load(); }

}  // namespace tavro
