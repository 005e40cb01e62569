#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "support/process_path.h"
#include "testing/child_process.h"

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
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (handle_ != 0 && !waited_) {
    int status = 0;
    const pid_t ended = waitpid(static_cast<pid_t>(handle_), &status, WNOHANG);
    if (ended == static_cast<pid_t>(handle_)) {
      waited_ = true;
      exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    } else if (ended < 0 && errno != EINTR) {
      return Wait();
    } else if (std::chrono::steady_clock::now() >= deadline) {
      return std::nullopt;
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  return exitCode_;
}

std::string TestProgramPath(const std::string& name) {
  return FolderOf(CurrentExecutablePath()) + "/" + name;
}

}  // namespace tavro::testutil
