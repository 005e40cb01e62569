// Stands in for a service manager's notification socket or the system log: binds a UNIX datagram
// socket at the path given first and appends every datagram, followed by a line break, to the file
// given second. Ends on SIGTERM, or by itself after ten minutes so that nothing outlives a test.

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: datagramrecorder SOCKET-PATH OUTPUT-FILE\n");
    return 2;
  }
  const int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, argv[1], sizeof address.sun_path - 1);
  unlink(argv[1]);
  if (fd < 0 || bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    std::perror("datagramrecorder");
    return 1;
  }
  alarm(600);
  char buffer[65536];
  for (;;) {
    const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
    if (got < 0) continue;
    std::ofstream out(argv[2], std::ios::binary | std::ios::app);
    out.write(buffer, got);
    out << '\n';
  }
}
