#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/log_file.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// Another writer in the middle of its entry, as seen through the advisory lock.
class LockHolder {
 public:
  explicit LockHolder(const std::string& file) : fd_(open(file.c_str(), O_RDWR | O_CREAT, 0644)) {
    EXPECT_EQ(flock(fd_, LOCK_EX), 0);
  }
  ~LockHolder() { Release(); }
  void Release() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

TEST(LogFilePosix, BusyFileIsRetriedThenDropped) {
  testutil::TempDir dir;
  const std::string file = dir.File("tavrorun.007.txt");
  testutil::WriteFileBytes(file, "old\r\n");
  LockHolder holder(file);
  const auto start = steady_clock::now();
  EXPECT_FALSE(AppendToLogFile(file, "lost\r\n"));
  EXPECT_GE(steady_clock::now() - start, milliseconds(90));
  EXPECT_EQ(testutil::ReadFileBytes(file), "old\r\n");
}

TEST(LogFilePosix, EntryWaitsForAShortlyHeldFile) {
  testutil::TempDir dir;
  const std::string file = dir.File("tavrorun.007.txt");
  testutil::WriteFileBytes(file, "old\r\n");
  LockHolder holder(file);
  std::thread release([&holder] {
    std::this_thread::sleep_for(milliseconds(20));
    holder.Release();
  });
  // Patience far beyond the hold, so that however late the holder lets go the entry gets in.
  EXPECT_TRUE(AppendToLogFile(file, "kept\r\n", 60000));
  release.join();
  EXPECT_EQ(testutil::ReadFileBytes(file), "old\r\nkept\r\n");
}

}  // namespace
}  // namespace tavro
