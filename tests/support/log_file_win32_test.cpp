#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/log_file.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// Another program holding the log file open with the given access and sharing.
class Holder {
 public:
  Holder(const std::string& file, DWORD access, DWORD share)
      : handle_(CreateFileA(file.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr)) {
    EXPECT_NE(handle_, INVALID_HANDLE_VALUE) << GetLastError();
  }
  ~Holder() { Release(); }
  void Release() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

struct ShareCase {
  const char* name;
  DWORD access;
  DWORD share;
  bool written;
  bool letsGo;  // the holder closes the file while the entry waits
};

// A refused open is retried for a while: the entry gets in when the holder lets go in time, and
// is dropped after the short wait when it does not.
TEST(LogFileWin32, OtherOpenersAndTheSharingRule) {
  const ShareCase cases[] = {
      {"reader that lets others write", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, true, false},
      {"reader that forbids writing", GENERIC_READ, FILE_SHARE_READ, false, false},
      {"another writer", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, false, false},
      {"exclusive holder", GENERIC_READ, 0, false, false},
      {"another writer that lets go", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, true, true},
  };
  for (const ShareCase& c : cases) {
    SCOPED_TRACE(c.name);
    testutil::TempDir dir;
    const std::string file = dir.File("tavrorun.007.txt");
    testutil::WriteFileBytes(file, "old\r\n");
    Holder holder(file, c.access, c.share);
    std::thread release;
    if (c.letsGo) {
      release = std::thread([&holder] {
        std::this_thread::sleep_for(milliseconds(20));
        holder.Release();
      });
    }
    const auto start = steady_clock::now();
    // Patience far beyond the hold, so that however late the holder lets go the entry gets in.
    EXPECT_EQ(AppendToLogFile(file, "new\r\n", c.letsGo ? 60000 : kLogBusyPatienceMs), c.written);
    if (release.joinable()) release.join();
    if (!c.written) {
      EXPECT_GE(steady_clock::now() - start, milliseconds(90));
    }
    holder.Release();
    EXPECT_EQ(testutil::ReadFileBytes(file), c.written ? "old\r\nnew\r\n" : "old\r\n");
  }
}

}  // namespace
}  // namespace tavro
