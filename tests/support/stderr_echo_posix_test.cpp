#include "support/stderr_echo_posix.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

namespace tavro {
namespace {

std::string Drain(int fd) {
  std::string text;
  char buffer[65536];
  for (long got; (got = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(got));
  return text;
}

// A reader that stops reading keeps nothing waiting: an entry that does not fit is dropped and
// counted, the count is said with the next entry that fits, and a reader that has gone is let be.
TEST(StderrEchoPosix, AFullPipeDropsAndCountsAClosedOneIsLetBe) {
  int pipeEnds[2];
  ASSERT_EQ(pipe2(pipeEnds, O_NONBLOCK), 0);
  NonBlockingWriter writer(pipeEnds[1]);
  std::ostream echo(&writer);
  const std::string filler(4096, 'x');
  while (write(pipeEnds[1], filler.data(), filler.size()) > 0) {
  }
  echo << "lost entry\n" << std::flush;
  echo << "another\n" << std::flush;
  EXPECT_EQ(writer.Dropped(), 2u);

  Drain(pipeEnds[0]);
  echo << "kept\n" << std::flush;
  EXPECT_EQ(Drain(pipeEnds[0]),
            "tavrorun: 2 log entries were not written here: standard error did not take them (the log file "
            "has them)\nkept\n");
  EXPECT_EQ(writer.Dropped(), 0u);

  close(pipeEnds[0]);  // SIGPIPE is the launcher's to ignore; here the write must just fail
  signal(SIGPIPE, SIG_IGN);
  echo << "nobody reads\n" << std::flush;
  echo << "nor this\n" << std::flush;
  EXPECT_EQ(writer.Dropped(), 1u);  // gone: not counted any more
  close(pipeEnds[1]);
}

}  // namespace
}  // namespace tavro
