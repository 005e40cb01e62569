#include "service/notify_socket_posix.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "testing/temp_dir.h"

namespace tavro {
namespace {

// The manager's end: a datagram socket bound to a path, or to "@name" in the abstract namespace.
class ManagerSocket {
 public:
  explicit ManagerSocket(const std::string& address) : fd_(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
    sockaddr_un bound{};
    bound.sun_family = AF_UNIX;
    std::memcpy(bound.sun_path, address.data(), address.size());
    socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + address.size());
    if (address[0] == '@') bound.sun_path[0] = '\0';
    bound_ = bind(fd_, reinterpret_cast<const sockaddr*>(&bound), length) == 0;
  }
  ~ManagerSocket() { close(fd_); }
  bool Bound() const { return bound_; }
  std::string Receive() {
    char buffer[1024];
    const ssize_t got = recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
    return got < 0 ? "(nothing)" : std::string(buffer, static_cast<std::size_t>(got));
  }

 private:
  int fd_;
  bool bound_ = false;
};

TEST(NotifySocketPosix, EachMessageIsOneDatagramToAPathOrAnAbstractName) {
  testutil::TempDir dir;
  for (const std::string& address : {dir.File("notify"), "@tavro-test-notify-" + std::to_string(getpid())}) {
    SCOPED_TRACE(address);
    ManagerSocket manager(address);
    ASSERT_TRUE(manager.Bound());
    ServiceNotifier notifier(address);
    std::string error;
    ASSERT_TRUE(notifier.Notify("READY=1\nSTATUS=Running", error)) << error;
    ASSERT_TRUE(notifier.Notify("STOPPING=1", error)) << error;
    EXPECT_EQ(manager.Receive(), "READY=1\nSTATUS=Running");
    EXPECT_EQ(manager.Receive(), "STOPPING=1");
  }
}

TEST(NotifySocketPosix, AnAddressThatLeadsNowhereIsAFailureWithItsReason) {
  testutil::TempDir dir;
  const struct {
    std::string address;
    const char* reason;
  } cases[] = {{dir.File("nobody-listens"), "No such file or directory"},
               {"relative/path", "is not a socket address"},
               {"", "is not a socket address"},
               {"/" + std::string(200, 'x'), "is not a socket address"}};
  for (const auto& c : cases) {
    ServiceNotifier notifier(c.address);
    std::string error;
    EXPECT_FALSE(notifier.Notify("READY=1", error)) << c.address;
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.address << ": " << error;
  }
}

TEST(NotifySocketPosix, TheAddressLeavesTheEnvironmentOfStartedPrograms) {
  setenv("NOTIFY_SOCKET", "/run/systemd/notify", 1);
  EXPECT_EQ(TakeNotifySocketAddress(), "/run/systemd/notify");
  EXPECT_EQ(std::getenv("NOTIFY_SOCKET"), nullptr);
  EXPECT_EQ(TakeNotifySocketAddress(), "");
}

}  // namespace
}  // namespace tavro
