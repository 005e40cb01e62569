#include "support/stderr_echo_posix.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavro {

NonBlockingWriter::NonBlockingWriter(int fd) : fd_(fd) {
  struct stat status {};
  if (fstat(fd, &status) != 0) return;
  socket_ = S_ISSOCK(status.st_mode);  // the journal's stream: sent without waiting
  if (S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode)) {
    ownFd_ = open(("/proc/self/fd/" + std::to_string(fd)).c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  }
}

NonBlockingWriter::~NonBlockingWriter() {
  if (ownFd_ >= 0) close(ownFd_);
}

std::streamsize NonBlockingWriter::xsputn(const char* text, std::streamsize count) {
  pending_.append(text, static_cast<std::size_t>(count));
  return count;
}

NonBlockingWriter::int_type NonBlockingWriter::overflow(int_type c) {
  if (!traits_type::eq_int_type(c, traits_type::eof())) pending_ += traits_type::to_char_type(c);
  return traits_type::not_eof(c);
}

long NonBlockingWriter::WriteOnce(const char* bytes, std::size_t count) {
  if (socket_) return send(fd_, bytes, count, MSG_DONTWAIT | MSG_NOSIGNAL);
  if (ownFd_ >= 0) return write(ownFd_, bytes, count);
  // A pipe that could not be opened afresh: written only while it has room. A regular file never
  // keeps a writer waiting for long.
  pollfd room{fd_, POLLOUT, 0};
  if (poll(&room, 1, 0) == 0) {
    errno = EAGAIN;
    return -1;
  }
  return write(fd_, bytes, count);
}

int NonBlockingWriter::sync() {
  if (pending_.empty() || gone_) {
    pending_.clear();
    return 0;
  }
  std::string out;
  if (midLine_) out += '\n';
  if (dropped_ > 0) {
    out += "tavrorun: " + std::to_string(dropped_) +
           " log entries were not written here: standard error did not take them (the log file has them)\n";
  }
  out += pending_;
  pending_.clear();
  std::size_t done = 0;
  while (done < out.size()) {
    const long written = WriteOnce(out.data() + done, out.size() - done);
    if (written > 0) {
      done += static_cast<std::size_t>(written);
      continue;
    }
    if (written < 0 && errno == EINTR) continue;
    if (written < 0 && errno == EPIPE) gone_ = true;
    break;
  }
  if (done == out.size()) {
    dropped_ = 0;
    midLine_ = false;
  } else {
    ++dropped_;
    midLine_ = midLine_ || done > 0;
  }
  return 0;
}

std::ostream& StderrEcho() {
  static NonBlockingWriter writer(STDERR_FILENO);
  static std::ostream stream(&writer);
  return stream;
}

}  // namespace tavro
