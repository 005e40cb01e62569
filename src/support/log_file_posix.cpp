#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <mutex>
#include <ostream>
#include <set>
#include <thread>

#include "support/log_file.h"
#include "support/stderr_echo_posix.h"

namespace tavro {
namespace {

constexpr auto kBusyPause = std::chrono::milliseconds(1);

// Readable by the launcher's group (the engineers), by nobody else: a stranger who could open the
// file could also hold its lock.
constexpr mode_t kLogFileMode = 0640;

// Root may write into any file, so the permission bits stand in for the read-only attribute that
// binds every user on Windows: a file nobody may write is a read-only log. Only a regular file is a
// log (a FIFO or device planted under its name is not written to).
bool IsWritableLogFile(const struct stat& status) {
  return S_ISREG(status.st_mode) && (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
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

// A lock that outlasted one entry's patience is held by someone who keeps it (a reader holding a
// shared lock, say), not by a writer in the middle of an entry: while it stays held, the entries
// after the first do not wait for it again, or 200 entries would take 20 s. The entries written so
// are counted and said on standard error once the lock is free again.
class HeldLog {
 public:
  bool IsHeld(const struct stat& file) const { return held_ && file.st_dev == device_ && file.st_ino == inode_; }
  void WrittenPastTheLock(const struct stat& file) {
    if (!IsHeld(file)) {
      held_ = true;
      device_ = file.st_dev;
      inode_ = file.st_ino;
      entries_ = 0;
    }
    ++entries_;
  }
  void Freed(const std::string& name) {
    StderrEcho() << "tavrorun: another process held the lock of " << name << "; " << entries_
                 << " log entries were written without it" << std::endl;
    held_ = false;
  }

 private:
  bool held_ = false;
  dev_t device_ = 0;
  ino_t inode_ = 0;
  long entries_ = 0;
};

// A link in the log's place would let whoever planted it make the launcher write anywhere. Said once
// per name, so that a planted link does not flood standard error.
void ReportLink(const std::string& file) {
  static std::mutex guard;
  static std::set<std::string> reported;
  const std::lock_guard<std::mutex> lock(guard);
  if (reported.insert(file).second) {
    StderrEcho() << "tavrorun: " << file << " is a symbolic link; the log is not written there" << std::endl;
  }
}

// The file of the last entry stays open until the launcher waits for its next tick: the entries of
// a tick (two per launch, thousands in a reading) cost no open and close each. An entry first checks
// that the open file still has a name; one deleted since (by an operator, or as last month's file)
// is opened anew under the name, as before. A file renamed away keeps the entries until the wait.
struct KeptFile {
  std::string name;
  int fd = -1;
  void Close() {
    if (fd >= 0) close(fd);
    fd = -1;
    name.clear();
  }
};

std::mutex guard;  // of kept and heldLog: entries come from more than one thread
KeptFile kept;
HeldLog heldLog;

// The descriptor of `file` and its status, or -1 when it cannot be opened.
int DescriptorFor(const std::string& file, struct stat& status) {
  if (kept.fd >= 0) {
    if (kept.name == file && fstat(kept.fd, &status) == 0 && status.st_nlink > 0) return kept.fd;
    kept.Close();
  }
  const int fd = open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY,
                      kLogFileMode);
  if (fd < 0) {
    if (errno == ELOOP) ReportLink(file);
    return -1;
  }
  if (fstat(fd, &status) != 0) {
    close(fd);
    return -1;
  }
  kept.name = file;
  kept.fd = fd;
  return fd;
}

}  // namespace

bool AppendToLogFile(const std::string& file, const std::string& bytes, int patienceMs) {
  const std::lock_guard<std::mutex> lock(guard);
  struct stat status {};
  const int fd = DescriptorFor(file, status);
  if (fd < 0 || !IsWritableLogFile(status)) return false;
  // A lock that does not come in time (a writer that hangs, or someone holding it on purpose)
  // does not silence the log: one write of an append descriptor still puts the entry in whole.
  const bool locked = LockForOneEntry(fd, heldLog.IsHeld(status) ? 0 : patienceMs);
  if (locked && heldLog.IsHeld(status)) heldLog.Freed(file);
  if (!locked) heldLog.WrittenPastTheLock(status);
  const ssize_t count = write(fd, bytes.data(), bytes.size());
  const bool written = count == static_cast<ssize_t>(bytes.size());
  // A short write (a full disk) is cut back, so that no half entry is left for the next one to be
  // glued to. Without the lock another writer may have appended after it; its entry is not cut.
  if (!written && count > 0) {
    const off_t end = lseek(fd, 0, SEEK_CUR);
    struct stat after {};
    if (end >= count && fstat(fd, &after) == 0 && after.st_size == end) {
      [[maybe_unused]] const int cut = ftruncate(fd, end - count);
    }
  }
  if (locked) flock(fd, LOCK_UN);
  return written;
}

void CloseKeptLogFile() {
  const std::lock_guard<std::mutex> lock(guard);
  kept.Close();
}

void DeleteLogFileWrittenBefore(const std::string& file, std::int64_t writtenBefore) {
  struct stat status {};
  if (lstat(file.c_str(), &status) != 0) return;
  const std::int64_t written = static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1000000;
  if (written < writtenBefore) unlink(file.c_str());
}

}  // namespace tavro
