#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "support/whole_file.h"

namespace tavro {
namespace {

WholeFile Unreadable(std::string reason) { return {WholeFile::Outcome::Unreadable, {}, std::move(reason)}; }

std::string TooLarge(std::size_t maxBytes) {
  return "it is larger than " + std::to_string(maxBytes / (1024 * 1024)) + " MB";
}

}  // namespace

WholeFile ReadWholeFile(const std::string& path, std::size_t maxBytes) {
  // Without O_NONBLOCK a FIFO would hold the open until a writer comes, for good.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return {};
    return Unreadable(std::strerror(errno));
  }
  WholeFile file;
  struct stat status {};
  if (fstat(fd, &status) != 0) {
    file = Unreadable(std::strerror(errno));
  } else if (S_ISDIR(status.st_mode)) {
    file = Unreadable("it is a directory");
  } else if (!S_ISREG(status.st_mode)) {
    file = Unreadable("it is not a regular file");
  } else if (static_cast<std::size_t>(status.st_size) > maxBytes) {
    file = Unreadable(TooLarge(maxBytes));
  } else {
    file.outcome = WholeFile::Outcome::Read;
    file.bytes.reserve(static_cast<std::size_t>(status.st_size));
    // The file may grow while it is read: the cap holds for what is read, not only for its size.
    char buffer[65536];
    for (;;) {
      const ssize_t n = read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        file = Unreadable(std::strerror(errno));
        break;
      }
      if (n == 0) break;
      file.bytes.append(buffer, static_cast<std::size_t>(n));
      if (file.bytes.size() > maxBytes) {
        file = Unreadable(TooLarge(maxBytes));
        break;
      }
    }
  }
  close(fd);
  return file;
}

}  // namespace tavro
