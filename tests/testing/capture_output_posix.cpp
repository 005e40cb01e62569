#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "testing/capture_output.h"

extern char** environ;

namespace tavro::testutil {

CapturedRun RunProgramCapture(const std::string& exe, const std::vector<std::string>& args) {
  CapturedRun run;
  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) return run;

  std::vector<std::string> texts{exe};
  texts.insert(texts.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& text : texts) argv.push_back(text.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
  pid_t pid = 0;
  const bool started = posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);

  char buffer[4096];
  for (;;) {
    const ssize_t got = read(pipeEnds[0], buffer, sizeof buffer);
    if (got > 0) {
      run.output.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      break;
    }
  }
  close(pipeEnds[0]);
  if (!started) return run;

  int status = 0;
  pid_t ended = 0;
  do {
    ended = waitpid(pid, &status, 0);
  } while (ended < 0 && errno == EINTR);
  run.exitCode = ended > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace tavro::testutil
