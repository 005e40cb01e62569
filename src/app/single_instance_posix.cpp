// The lock is an flock on a file in a folder that only the launcher's own account (or root) may
// write, so no other account can make the lock, hold it first, or swap it for a file of its own.
// The kernel drops the lock when the process ends, however it ends. The path is fixed by the
// account alone: an environment variable, a login or a copy of the launcher that differs between
// two starts would give each its own lock. What cannot be had safely is refused, never worked
// around by running unguarded.

#include "app/single_instance_posix.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <vector>

#include "app/single_instance.h"
#include "support/process_path.h"
#include "support/text.h"

namespace tavro {
namespace {

// Why another account could put something of its own into the folder, or take the lock file away
// from it; "" when it cannot.
std::string FolderProblem(const std::string& folder, uid_t account) {
  struct stat status {};
  if (lstat(folder.c_str(), &status) != 0) return "the folder " + folder + " cannot be examined: " + std::strerror(errno);
  if (!S_ISDIR(status.st_mode)) return "the folder " + folder + " is not a directory";
  if (status.st_uid != account) return "the folder " + folder + " belongs to another account";
  if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0) return "other accounts may write to the folder " + folder;
  return {};
}

// Why the opened file is not a lock of this account's alone; "" when it is.
std::string FileProblem(int fd, uid_t account) {
  struct stat status {};
  if (fstat(fd, &status) != 0) return std::string("it cannot be examined: ") + std::strerror(errno);
  if (!S_ISREG(status.st_mode)) return "it is not a regular file";
  if (status.st_uid != account) return "it belongs to another account";
  if (status.st_nlink != 1) return "it has another name (a hard link)";
  if ((status.st_mode & 077) != 0) return "other accounts may open it";
  return {};
}

std::string OpenProblem(int error) {
  if (error == ELOOP) return "it is a symbolic link";
  if (error == EISDIR) return "it is a directory";
  return std::string("it cannot be opened or created: ") + std::strerror(error);
}

InstanceLock AcquireLockFile(const std::string& path, uid_t account) {
  const auto refused = [&path](const std::string& reason) {
    return InstanceLock{InstanceLockState::Refused,
                        "Cannot hold the single-instance lock " + path + ": " + reason + "; the launcher does not start"};
  };
  if (const std::string problem = FolderProblem(FolderOf(path), account); !problem.empty()) return refused(problem);
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600);
  if (fd < 0) return refused(OpenProblem(errno));
  if (const std::string problem = FileProblem(fd, account); !problem.empty()) {
    close(fd);
    return refused(problem);
  }
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) {  // fd kept open for life
    // The holder's process id, for the second launcher to name; the lock does not depend on it.
    const std::string pid = std::to_string(getpid()) + "\n";
    if (ftruncate(fd, 0) != 0 || pwrite(fd, pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size())) {
      std::cerr << "tavrorun: cannot note the process id in " << path << ": " << std::strerror(errno) << std::endl;
    }
    return {InstanceLockState::Held, {}};
  }
  const int error = errno;
  if (error == EWOULDBLOCK) {
    char holder[24] = {};
    const ssize_t got = pread(fd, holder, sizeof holder - 1, 0);
    close(fd);
    return {InstanceLockState::HeldByAnother, TrimBlanks(std::string_view(holder, got > 0 ? static_cast<std::size_t>(got) : 0))};
  }
  close(fd);
  return refused(std::string("it cannot be locked: ") + std::strerror(error));
}

}  // namespace

LockPlace SingleInstancePlace(uid_t account, const std::string& homeFolder, const std::string& programFolder) {
  if (account == 0) return {"/run", {}};  // not /run/lock, which every account may write
  const std::string homeProblem =
      homeFolder.empty() ? "the account has no home folder" : FolderProblem(homeFolder, account);
  if (homeProblem.empty()) return {homeFolder, {}};
  if (!FolderProblem(programFolder, account).empty()) return {homeFolder.empty() ? programFolder : homeFolder, {}};
  return {programFolder, "The single-instance lock is beside the launcher, in " + programFolder +
                             " (the account's home folder is no place for it: " + homeProblem +
                             "); a copy of the launcher in another folder is not kept from running"};
}

LockPath SingleInstanceLockPath(const std::string& name) {
  const uid_t account = geteuid();
  // The password database's home, not $HOME, which each start may set as it likes.
  std::string home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(account, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr) {
    home = found->pw_dir;
  }
  LockPlace place = SingleInstancePlace(account, home, FolderOf(CurrentExecutablePath()));
  const bool inHome = account != 0 && place.folder == home;
  return {place.folder + "/" + (inHome ? "." : "") + name + ".lock", std::move(place.note)};
}

InstanceLock AcquireSingleInstance(const std::string& name) {
  const LockPath lock = SingleInstanceLockPath(name);
  InstanceLock taken = AcquireLockFile(lock.path, geteuid());
  if (taken.state == InstanceLockState::Held) taken.note = lock.note;
  return taken;
}

// A refused start is a failed command to the shell and to systemd, which restarts on failure only
// when the launcher itself failed; the running one is named so that it can be found.
int ShowAlreadyRunning(const InstanceLock& lock) {
  std::cerr << "Program is already running";
  if (!lock.problem.empty()) std::cerr << " (process " << lock.problem << ")";
  std::cerr << "\n";
  return 1;
}

}  // namespace tavro
