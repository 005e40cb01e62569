#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "support/atomic_file.h"

namespace tavro {
namespace {

// A fresh file under the temporary name, made here and nowhere else: never a FIFO, whose open
// would wait for a reader for good, nor a link to another file, nor a file another process holds
// open. A plain file of this account's that a crash left there is taken away first; anything else
// is left alone and fails the write. -1 with errno, or with `problem` said, when none can be made.
int FreshFile(const std::string& temporary, std::string& problem) {
  constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
  int fd = open(temporary.c_str(), kFlags, 0640);
  if (fd >= 0 || errno != EEXIST) return fd;
  struct stat status {};
  if (lstat(temporary.c_str(), &status) != 0) return -1;
  if (S_ISDIR(status.st_mode)) {
    problem = "it is a directory";
  } else if (S_ISLNK(status.st_mode)) {
    problem = "it is a symbolic link";
  } else if (!S_ISREG(status.st_mode) || status.st_uid != geteuid()) {
    problem = S_ISREG(status.st_mode) ? "it belongs to another account" : "it is not a regular file";
  } else if (unlink(temporary.c_str()) == 0) {
    fd = open(temporary.c_str(), kFlags, 0640);
  }
  return fd;
}

// The outdated file goes, so that what readers find tells no longer than it is true.
void TakeAwayOutdated(const std::string& path) {
  struct stat status {};
  if (lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode)) unlink(path.c_str());
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, const std::string& text, std::string& error) {
  const std::string temporary = path + ".tmp";
  std::string problem;
  const int fd = FreshFile(temporary, problem);
  if (fd < 0) {
    error = temporary + ": " + (problem.empty() ? std::strerror(errno) : problem);
    TakeAwayOutdated(path);
    return false;
  }
  // The mode is the file's whatever the umask said.
  bool written = fchmod(fd, 0640) == 0;
  for (std::size_t done = 0; written && done < text.size();) {
    const ssize_t part = pwrite(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
    if (part < 0 && errno == EINTR) continue;
    written = part > 0;
    if (written) done += static_cast<std::size_t>(part);
  }
  const int writeError = errno;
  if (close(fd) != 0 && written) written = false;
  if (written && rename(temporary.c_str(), path.c_str()) == 0) return true;
  error = path + ": " + std::strerror(written ? errno : writeError);
  unlink(temporary.c_str());
  TakeAwayOutdated(path);
  return false;
}

}  // namespace tavro
