#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>

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

// Whoever holds the lock for good (a hung writer, or someone who may read the file) cannot
// silence the log: after a short wait the entry goes in whole anyway, and while the same holder
// keeps the lock the next entries do not wait for it again. Once it let go, a holder is waited for
// afresh.
TEST(LogFilePosix, ALockHeldForGoodDoesNotSilenceTheLog) {
  testutil::TempDir dir;
  const std::string file = dir.File("tavrorun.007.txt");
  testutil::WriteFileBytes(file, "old\r\n");
  constexpr int kForAMinute = 60000;
  for (const char* round : {"first holder", "second holder"}) {
    SCOPED_TRACE(round);
    LockHolder holder(file);
    auto start = steady_clock::now();
    EXPECT_TRUE(AppendToLogFile(file, "waited\r\n"));
    EXPECT_GE(steady_clock::now() - start, milliseconds(90));
    start = steady_clock::now();
    EXPECT_TRUE(AppendToLogFile(file, "at once\r\n", kForAMinute));
    EXPECT_LT(steady_clock::now() - start, milliseconds(kForAMinute / 2));
    holder.Release();
    EXPECT_TRUE(AppendToLogFile(file, "free\r\n"));
  }
  EXPECT_EQ(testutil::ReadFileBytes(file), "old\r\nwaited\r\nat once\r\nfree\r\nwaited\r\nat once\r\nfree\r\n");
}

// Other users may neither read a new log nor plant a link that the launcher would follow; a FIFO
// in the log's place is not waited on.
TEST(LogFilePosix, ForeignFilesInTheLogsPlace) {
  testutil::TempDir dir;
  const std::string fresh = dir.File("tavrorun.001.txt");
  EXPECT_TRUE(AppendToLogFile(fresh, "first\r\n"));
  struct stat status {};
  ASSERT_EQ(stat(fresh.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0607, 0600u);  // the owner writes, others nothing (the group: as umask lets)

  const std::string target = dir.File("elsewhere.txt");
  testutil::WriteFileBytes(target, "precious\r\n");
  const std::string link = dir.File("tavrorun.002.txt");
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  EXPECT_FALSE(AppendToLogFile(link, "planted\r\n"));
  EXPECT_EQ(testutil::ReadFileBytes(target), "precious\r\n");

  const std::string fifo = dir.File("tavrorun.003.txt");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(AppendToLogFile(fifo, "nobody reads\r\n"));
}

// A full disk takes only part of an entry: the part is cut off again, so the next entry does not
// begin in the middle of a line; also when the entry had to go in without the lock.
TEST(LogFilePosix, AShortWriteLeavesNoHalfEntry) {
  for (const bool lockHeld : {false, true}) {
    SCOPED_TRACE(lockHeld ? "lock held by another" : "lock free");
    testutil::TempDir dir;
    const std::string file = dir.File("tavrorun.007.txt");
    testutil::WriteFileBytes(file, "old\r\n");
    std::optional<LockHolder> holder;
    if (lockHeld) holder.emplace(file);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = signal(SIGXFSZ, SIG_IGN);
    rlimit full = saved;
    full.rlim_cur = 10;  // room for the old entry and half of the new one
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
    const bool written = AppendToLogFile(file, "0123456789\r\n");
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);
    EXPECT_FALSE(written);
    EXPECT_EQ(testutil::ReadFileBytes(file), "old\r\n");
  }
}

// The file stays open from one entry to the next: what happens to its name in between is followed
// as when every entry opened it, but for a rename, which the wait before the next tick catches.
TEST(LogFilePosix, TheFileKeptOpenFollowsItsName) {
  struct Case {
    const char* what;
    void (*change)(const std::string& file, const std::string& aside);
    const char* underTheName;  // after "first", "second", the wait, "third"
    const char* aside;
  };
  const Case cases[] = {
      {"deleted", [](const std::string& f, const std::string&) { unlink(f.c_str()); }, "second\nthird\n", ""},
      {"a link put in its place",
       [](const std::string& f, const std::string& a) {
         rename(f.c_str(), a.c_str());
         EXPECT_EQ(symlink(a.c_str(), f.c_str()), 0);
       },
       nullptr, "first\nsecond\n"},
      {"made read-only", [](const std::string& f, const std::string&) { chmod(f.c_str(), 0444); }, "first\n", ""},
      {"renamed", [](const std::string& f, const std::string& a) { rename(f.c_str(), a.c_str()); }, "third\n",
       "first\nsecond\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testutil::TempDir dir;
    const std::string file = dir.File("tavrorun.007.txt");
    const std::string aside = dir.File("aside.txt");
    testutil::WriteFileBytes(aside, "");
    AppendToLogFile(file, "first\n");
    c.change(file, aside);
    AppendToLogFile(file, "second\n");
    CloseKeptLogFile();
    AppendToLogFile(file, "third\n");
    if (c.underTheName != nullptr) {
      EXPECT_EQ(testutil::ReadFileBytes(file), c.underTheName);
    }
    EXPECT_EQ(testutil::ReadFileBytes(aside), c.aside);
  }
}

}  // namespace
}  // namespace tavro
