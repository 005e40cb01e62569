#pragma once
// The service manager's notification channel: each message ("READY=1", "STATUS=...",
// "STOPPING=1") is one datagram to the UNIX socket that systemd names in NOTIFY_SOCKET.

#include <string>

namespace tavro {

// NOTIFY_SOCKET's value ("" when unset), taken out of the environment so that the programs the
// launcher starts cannot speak to the manager in the service's name.
std::string TakeNotifySocketAddress();

class ServiceNotifier {
 public:
  // `address`: a socket path, or "@name" for a name in the abstract namespace.
  explicit ServiceNotifier(std::string address);
  ~ServiceNotifier();
  ServiceNotifier(const ServiceNotifier&) = delete;
  ServiceNotifier& operator=(const ServiceNotifier&) = delete;

  // Sends one message; false, with the system's text in `error`, when it could not be sent.
  bool Notify(const std::string& message, std::string& error);

 private:
  std::string address_;
  int fd_ = -1;
  std::string socketError_;  // why there is no socket, when there is none
};

}  // namespace tavro
