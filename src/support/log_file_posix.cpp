#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "support/log_file.h"

namespace tavro {
namespace {

constexpr auto kBusyPause = std::chrono::milliseconds(1);

// Root may write into any file, so the permission bits stand in for the read-only attribute that
// binds every user on Windows: a file nobody may write is a read-only log.
bool WritableByAnyone(int fd) {
  struct stat status {};
  return fstat(fd, &status) == 0 && (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

// Another writer's entry is in progress: wait for it a little, then give up on ours.
bool LockForOneEntry(int fd, int patienceMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(patienceMs);
  for (;;) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kBusyPause);
  }
}

}  // namespace

bool AppendToLogFile(const std::string& file, const std::string& bytes, int patienceMs) {
  const int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool written = false;
  if (WritableByAnyone(fd) && LockForOneEntry(fd, patienceMs)) {
    // The lock makes seek-and-write one step towards the other writers; a short write is kept as is.
    if (lseek(fd, 0, SEEK_END) >= 0) written = write(fd, bytes.data(), bytes.size()) >= 0;
    flock(fd, LOCK_UN);
  }
  close(fd);
  return written;
}

void DeleteLogFile(const std::string& file) { unlink(file.c_str()); }

}  // namespace tavro
