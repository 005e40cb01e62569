#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>

#include "support/process_path.h"
#include "testing/child_process.h"
#include "testing/poll.h"

extern char** environ;

namespace tavro::testutil {

ChildProcess::ChildProcess(const std::string& exe, const std::vector<std::string>& args) {
  std::vector<std::string> texts;
  texts.reserve(args.size() + 1);
  texts.push_back(exe);
  texts.insert(texts.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& text : texts) argv.push_back(text.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv.data(), environ) == 0) handle_ = pid;
}

ChildProcess::~ChildProcess() {
  if (handle_ == 0 || waited_) return;
  kill(static_cast<pid_t>(handle_), SIGKILL);
  Wait();
}

int ChildProcess::Wait() {
  if (handle_ == 0 || waited_) return exitCode_;
  int status = 0;
  pid_t ended = 0;
  do {
    ended = waitpid(static_cast<pid_t>(handle_), &status, 0);
  } while (ended < 0 && errno == EINTR);
  waited_ = true;
  exitCode_ = ended > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return exitCode_;
}

std::optional<int> ChildProcess::WaitFor(int milliseconds) {
  bool lost = false;  // no longer ours to look at without waiting
  const auto ended = [&] {
    if (handle_ == 0 || waited_) return true;
    int status = 0;
    const pid_t pid = waitpid(static_cast<pid_t>(handle_), &status, WNOHANG);
    if (pid == static_cast<pid_t>(handle_)) {
      waited_ = true;
      exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    lost = pid < 0 && errno != EINTR;
    return waited_ || lost;
  };
  if (!Eventually(ended, std::chrono::milliseconds(milliseconds))) return std::nullopt;
  return lost ? Wait() : exitCode_;
}

std::string TestProgramPath(const std::string& name) {
  return FolderOf(CurrentExecutablePath()) + "/" + name;
}

}  // namespace tavro::testutil
