#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "support/atomic_file.h"

namespace tavro {

bool ReplaceFileAtomically(const std::string& path, const std::string& text, std::string& error) {
  const std::string temporary = path + ".tmp";
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0640);
  if (fd < 0) {
    error = temporary + ": " + std::strerror(errno);
    return false;
  }
  // The mode is the file's whatever the umask or an earlier file said.
  bool written = fchmod(fd, 0640) == 0;
  for (std::size_t done = 0; written && done < text.size();) {
    const ssize_t part = write(fd, text.data() + done, text.size() - done);
    if (part < 0 && errno == EINTR) continue;
    written = part > 0;
    if (written) done += static_cast<std::size_t>(part);
  }
  const int writeError = errno;
  if (close(fd) != 0 && written) written = false;
  if (written && rename(temporary.c_str(), path.c_str()) == 0) return true;
  error = path + ": " + std::strerror(written ? errno : writeError);
  unlink(temporary.c_str());
  return false;
}

}  // namespace tavro
