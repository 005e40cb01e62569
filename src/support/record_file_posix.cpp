#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "support/record_file.h"

namespace tavro {

RecordFile::~RecordFile() {
  if (IsOpen()) close(static_cast<int>(handle_));
}

bool RecordFile::Open(const std::string& path, std::string& problem) {
  // O_NONBLOCK: a FIFO planted at the name must not hold the launcher in open().
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0640);
  if (fd < 0) {
    problem = path + ": " + std::strerror(errno);
    return false;
  }
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    problem = path + ": it is no regular file";
    close(fd);
    return false;
  }
  handle_ = fd;
  return true;
}

bool RecordFile::WriteAt(std::uint64_t offset, std::string_view bytes) {
  if (!IsOpen()) return false;
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t part = pwrite(static_cast<int>(handle_), bytes.data() + done, bytes.size() - done,
                                static_cast<off_t>(offset + done));
    if (part < 0 && errno == EINTR) continue;
    if (part <= 0) return false;
    done += static_cast<std::size_t>(part);
  }
  return true;
}

bool RecordFile::Truncate(std::uint64_t size) {
  return IsOpen() && ftruncate(static_cast<int>(handle_), static_cast<off_t>(size)) == 0;
}

}  // namespace tavro
