// The lock is an abstract UNIX socket bound to the name: the kernel frees the name when the last
// descriptor of the socket closes, so the lock dies with the process and leaves no file behind.

#include <errno.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iostream>

#include "app/single_instance.h"

namespace tavro {

bool AcquireSingleInstance(const std::string& name) {
  // Close-on-exec, so that no started program keeps the lock alive after the launcher ends.
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return true;  // no lock to be had: running twice beats not running at all

  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  // sun_path[0] stays 0: the abstract namespace.
  const std::size_t length = std::min(name.size(), sizeof address.sun_path - 1);
  std::memcpy(address.sun_path + 1, name.data(), length);
  const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
  if (bind(fd, reinterpret_cast<const sockaddr*>(&address), size) == 0) return true;  // fd kept for life

  const int error = errno;
  close(fd);
  return error != EADDRINUSE;
}

void ShowAlreadyRunning() { std::cerr << "Program is already running\n"; }

}  // namespace tavro
