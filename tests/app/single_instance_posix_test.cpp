#include "app/single_instance_posix.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "app/single_instance.h"
#include "testing/child_process.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

// A file that another account left under the lock's name could be held by it for good; the
// launcher does not take it for its own lock.
TEST(SingleInstancePosix, AFilePlantedUnderTheLocksNameIsNotTrusted) {
  const std::string name = "TAVRORUN_TEST_" + std::to_string(std::random_device()());
  const std::string path = SingleInstanceLockPath(name);
  const std::string probe = testutil::TestProgramPath("instanceprobe");
  testutil::TempDir dir;
  const std::string elsewhere = dir.File("target");
  testutil::WriteFileBytes(elsewhere, "keep");
  const struct {
    const char* name;
    std::function<void()> plant;
  } cases[] = {
      {"a link", [&] { std::filesystem::create_symlink(elsewhere, path); }},
      {"a hard link", [&] { std::filesystem::create_hard_link(elsewhere, path); }},
      {"another account's file",
       [&] {
         testutil::WriteFileBytes(path, "");
         ASSERT_EQ(chown(path.c_str(), geteuid() + 1, static_cast<gid_t>(-1)), 0);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (geteuid() != 0 && std::string(c.name) == "another account's file") continue;  // needs root
    std::filesystem::remove(path);
    c.plant();
    EXPECT_EQ(testutil::RunProgram(probe, {name}), 0);
    EXPECT_EQ(testutil::ReadFileBytes(elsewhere), "keep");
    struct stat status {};
    ASSERT_EQ(lstat(path.c_str(), &status), 0);
    EXPECT_TRUE(S_ISREG(status.st_mode) && status.st_uid == geteuid() && (status.st_mode & 077) == 0);
  }
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace tavro
