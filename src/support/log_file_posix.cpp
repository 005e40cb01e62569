#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <set>
#include <thread>

#include "support/log_file.h"

namespace tavro {
namespace {

constexpr auto kBusyPause = std::chrono::milliseconds(1);

// Readable by the launcher's group (the engineers), by nobody else: a stranger who could open the
// file could also hold its lock.
constexpr mode_t kLogFileMode = 0640;

// Root may write into any file, so the permission bits stand in for the read-only attribute that
// binds every user on Windows: a file nobody may write is a read-only log. Only a regular file is a
// log (a FIFO or device planted under its name is not written to).
bool IsWritableLogFile(int fd) {
  struct stat status {};
  return fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

// Another writer's entry is in progress: wait for it a little. False when it did not end in time.
bool LockForOneEntry(int fd, int patienceMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(patienceMs);
  for (;;) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kBusyPause);
  }
}

// A link in the log's place would let whoever planted it make the launcher write anywhere. Said once
// per name, so that a planted link does not flood standard error.
void ReportLink(const std::string& file) {
  static std::mutex guard;
  static std::set<std::string> reported;
  const std::lock_guard<std::mutex> lock(guard);
  if (reported.insert(file).second) {
    std::fprintf(stderr, "tavrorun: %s is a symbolic link; the log is not written there\n", file.c_str());
  }
}

}  // namespace

bool AppendToLogFile(const std::string& file, const std::string& bytes, int patienceMs) {
  const int fd = open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY,
                      kLogFileMode);
  if (fd < 0) {
    if (errno == ELOOP) ReportLink(file);
    return false;
  }
  bool written = false;
  if (IsWritableLogFile(fd)) {
    // Under the lock the entry's start is known, so a short write (a full disk) can be cut back and
    // leaves no half entry for the next one to be glued to. A lock that does not come in time (a
    // writer that hangs, or someone holding it on purpose) does not silence the log: one write of
    // an append descriptor still puts the entry in whole.
    const bool locked = LockForOneEntry(fd, patienceMs);
    const off_t start = locked ? lseek(fd, 0, SEEK_END) : -1;
    const ssize_t count = write(fd, bytes.data(), bytes.size());
    written = count == static_cast<ssize_t>(bytes.size());
    if (!written && count > 0 && start >= 0) {
      [[maybe_unused]] const int cut = ftruncate(fd, start);
    }
    if (locked) flock(fd, LOCK_UN);
  }
  close(fd);
  return written;
}

void DeleteLogFile(const std::string& file) { unlink(file.c_str()); }

}  // namespace tavro
