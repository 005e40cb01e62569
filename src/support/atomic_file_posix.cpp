#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "support/atomic_file.h"

namespace tavro {

bool ReplaceFileAtomically(const std::string& path, const std::string& text, std::string& error) {
  const std::string temporary = path + ".tmp";
  // The last-but-one file is written over, not emptied: ext4 writes a file out to disk at once
  // when it was emptied and written again, or renamed over another (its guard for programs that
  // replace files so), and that cost a tenth of a millisecond of every tick. Once written, the two
  // names are exchanged, so the old file waits under the temporary name for the next time.
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0640);
  if (fd < 0) {
    error = temporary + ": " + std::strerror(errno);
    return false;
  }
  // The mode is the file's whatever the umask or an earlier file said.
  bool written = fchmod(fd, 0640) == 0;
  for (std::size_t done = 0; written && done < text.size();) {
    const ssize_t part = pwrite(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
    if (part < 0 && errno == EINTR) continue;
    written = part > 0;
    if (written) done += static_cast<std::size_t>(part);
  }
  if (written) written = ftruncate(fd, static_cast<off_t>(text.size())) == 0;
  const int writeError = errno;
  if (close(fd) != 0 && written) written = false;
  // A first file, or a file system that cannot exchange names, takes the plain rename.
  if (written && (renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE) == 0 ||
                  rename(temporary.c_str(), path.c_str()) == 0)) {
    return true;
  }
  error = path + ": " + std::strerror(written ? errno : writeError);
  unlink(temporary.c_str());
  return false;
}

}  // namespace tavro
