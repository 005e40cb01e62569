#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "support/whole_file.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

using Outcome = WholeFile::Outcome;

// What stands where the configuration should be: none of these may block or be read without end.
TEST(WholeFilePosix, OnlyRegularFilesWithinTheCapAreRead) {
  testutil::TempDir dir;
  testutil::WriteFileBytes(dir.File("plain.ini"), "[pumps]\r\ncount=1\r\n");
  testutil::WriteFileBytes(dir.File("large.ini"), std::string(11, 'x'));
  std::filesystem::create_directory(dir.File("folder.ini"));
  ASSERT_EQ(mkfifo(dir.File("fifo.ini").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", dir.File("zero.ini"));
  const struct {
    const char* name;
    Outcome outcome;
    const char* text;  // the bytes, or the reason
  } cases[] = {
      {"plain.ini", Outcome::Read, "[pumps]\r\ncount=1\r\n"},
      {"missing.ini", Outcome::Missing, ""},
      {"missing/tavrorun.ini", Outcome::Missing, ""},
      {"large.ini", Outcome::Unreadable, "it is larger than 0 MB"},
      {"folder.ini", Outcome::Unreadable, "it is a directory"},
      {"fifo.ini", Outcome::Unreadable, "it is not a regular file"},
      {"zero.ini", Outcome::Unreadable, "it is not a regular file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const WholeFile file = ReadWholeFile(dir.File(c.name), 10 + (c.outcome == Outcome::Read ? 100 : 0));
    EXPECT_EQ(file.outcome, c.outcome);
    EXPECT_EQ(c.outcome == Outcome::Read ? file.bytes : file.reason, c.text);
  }
}

}  // namespace
}  // namespace tavro
