#include "service/systemctl_posix.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "support/text.h"

extern char** environ;

namespace tavro {
namespace {

// The spawn's own parts, released however the run ends.
struct Spawn {
  int pipe[2] = {-1, -1};
  posix_spawn_file_actions_t actions{};
  bool actionsReady = false;
  ~Spawn() {
    for (const int fd : pipe) {
      if (fd >= 0) close(fd);
    }
    if (actionsReady) posix_spawn_file_actions_destroy(&actions);
  }
};

int WaitForExit(pid_t child) {
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

SystemctlRun RunSystemctl(const std::vector<std::string>& arguments, int timeoutMs) {
  SystemctlRun run;
  std::vector<std::string> words{"systemctl"};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  Spawn spawn;
  if (pipe2(spawn.pipe, O_CLOEXEC) != 0 || posix_spawn_file_actions_init(&spawn.actions) != 0) {
    run.failure = std::strerror(errno);
    return run;
  }
  spawn.actionsReady = true;
  posix_spawn_file_actions_addopen(&spawn.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&spawn.actions, spawn.pipe[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&spawn.actions, spawn.pipe[1], STDERR_FILENO);
  pid_t child = 0;
  if (const int error = posix_spawnp(&child, "systemctl", &spawn.actions, nullptr, argv.data(), environ); error != 0) {
    run.failure = std::string("systemctl: ") + std::strerror(error);
    return run;
  }
  close(spawn.pipe[1]);
  spawn.pipe[1] = -1;

  // Read until it closes its end, which it does by ending; past the deadline it is ended.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      kill(child, SIGKILL);
      WaitForExit(child);
      run.failure = "systemctl did not answer within " + std::to_string(timeoutMs / 1000) + " s";
      return run;
    }
    pollfd wait{spawn.pipe[0], POLLIN, 0};
    if (poll(&wait, 1, static_cast<int>(left.count())) <= 0) continue;
    char buffer[4096];
    const ssize_t got = read(spawn.pipe[0], buffer, sizeof buffer);
    if (got > 0) {
      run.output.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      break;
    }
  }
  run.exitCode = WaitForExit(child);
  run.ended = true;
  return run;
}

std::string SystemctlFailureText(const std::vector<std::string>& arguments, const SystemctlRun& run) {
  std::string command = "systemctl";
  for (const std::string& argument : arguments) command += " " + argument;
  if (!run.ended) return command + ": " + run.failure;
  std::string said = TrimBlanks(run.output);
  return command + " ended with exit code " + std::to_string(run.exitCode) + (said.empty() ? "" : ": " + said);
}

}  // namespace tavro
