// The lock is an flock on a file that only the launcher's own account can have made: in /run/lock
// for root (one launcher per machine), in the account's private runtime folder otherwise (one per
// account). The kernel drops the lock when the process ends, however it ends.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "app/single_instance.h"
#include "app/single_instance_posix.h"

namespace tavro {
namespace {

std::string LockFolder() {
  if (geteuid() == 0) return "/run/lock";
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && runtime[0] == '/') return runtime;
  return "/tmp";
}

// A file someone else made (in a folder everyone may write, such as /run/lock) may be held by them
// for good: it is not the launcher's lock.
bool IsOwnPlainFile(int fd) {
  struct stat status {};
  return fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == geteuid() && status.st_nlink == 1;
}

int OpenLockFile(const std::string& path) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600);
    if (fd >= 0 && IsOwnPlainFile(fd)) return fd;
    if (fd >= 0) close(fd);
    // A planted file (or link) goes where root may remove it; then the launcher makes its own.
    if (unlink(path.c_str()) != 0) break;
  }
  return -1;
}

}  // namespace

std::string SingleInstanceLockPath(const std::string& name) {
  const std::string folder = LockFolder();
  // /tmp is shared by every account: the account's number keeps the names apart.
  const std::string suffix = folder == "/tmp" ? "-" + std::to_string(geteuid()) : "";
  return folder + "/" + name + suffix + ".lock";
}

bool AcquireSingleInstance(const std::string& name) {
  const std::string path = SingleInstanceLockPath(name);
  const int fd = OpenLockFile(path);
  if (fd < 0) {
    // No lock to be had: running twice beats not running at all, but the operator should know.
    std::cerr << "tavrorun: no single-instance lock at " << path << "; a second launcher would not be refused\n";
    return true;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;  // fd kept open for life
  const int error = errno;
  close(fd);
  return error != EWOULDBLOCK;
}

void ShowAlreadyRunning() { std::cerr << "Program is already running\n"; }

}  // namespace tavro
