#include "service/notify_socket_posix.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace tavro {

std::string TakeNotifySocketAddress() {
  const char* value = std::getenv("NOTIFY_SOCKET");
  std::string address = value != nullptr ? value : "";
  unsetenv("NOTIFY_SOCKET");
  return address;
}

ServiceNotifier::ServiceNotifier(std::string address)
    : address_(std::move(address)), fd_(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
  if (fd_ < 0) socketError_ = std::strerror(errno);
}

ServiceNotifier::~ServiceNotifier() {
  if (fd_ >= 0) close(fd_);
}

bool ServiceNotifier::Notify(const std::string& message, std::string& error) {
  sockaddr_un target{};
  target.sun_family = AF_UNIX;
  if (fd_ < 0 || address_.empty() || address_.size() >= sizeof target.sun_path ||
      (address_[0] != '/' && address_[0] != '@')) {
    error = fd_ < 0 ? socketError_ : "NOTIFY_SOCKET \"" + address_ + "\" is not a socket address";
    return false;
  }
  std::memcpy(target.sun_path, address_.data(), address_.size());
  socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + address_.size());
  if (address_[0] == '@') {
    target.sun_path[0] = '\0';  // abstract: the name is the bytes after the leading zero, unterminated
  } else {
    ++length;  // a path counts its terminating zero
  }
  const ssize_t sent = sendto(fd_, message.data(), message.size(), MSG_NOSIGNAL,
                              reinterpret_cast<const sockaddr*>(&target), length);
  if (sent == static_cast<ssize_t>(message.size())) return true;
  error = sent < 0 ? std::strerror(errno) : "message cut short";
  return false;
}

}  // namespace tavro
