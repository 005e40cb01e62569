#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>

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
};

TEST(LogFileWin32, OtherOpenersAndTheSharingRule) {
  const ShareCase cases[] = {
      {"reader that lets others write", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, true},
      {"reader that forbids writing", GENERIC_READ, FILE_SHARE_READ, false},
      {"another writer", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, false},
      {"exclusive holder", GENERIC_READ, 0, false},
  };
  for (const ShareCase& c : cases) {
    SCOPED_TRACE(c.name);
    testutil::TempDir dir;
    const std::string file = dir.File("tavrorun.007.txt");
    testutil::WriteFileBytes(file, "old\r\n");
    Holder holder(file, c.access, c.share);
    const auto start = steady_clock::now();
    EXPECT_EQ(AppendToLogFile(file, "new\r\n"), c.written);
    // A refused entry is retried for a while before it is dropped.
    if (!c.written) {
      EXPECT_GE(steady_clock::now() - start, milliseconds(90));
    }
    holder.Release();
    EXPECT_EQ(testutil::ReadFileBytes(file), c.written ? "old\r\nnew\r\n" : "old\r\n");
  }
}

}  // namespace
}  // namespace tavro
