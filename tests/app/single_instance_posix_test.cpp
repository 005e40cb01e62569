#include "app/single_instance_posix.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>

#include "app/single_instance.h"
#include "support/process_path.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

// Root guards the machine from a folder only root may write; another account guards itself from its
// own folders: the launcher's and, while it exists, the runtime folder. The environment never moves
// the lock: two starts that differ in it would each get a lock of their own.
TEST(SingleInstancePosix, TheLockLivesWhereNoOtherAccountMayWrite) {
  const uid_t account = geteuid() == 0 ? 4321 : geteuid();
  testutil::TempDir dir;
  const std::string own = dir.File("own"), shared = dir.File("shared"), program = dir.File("program");
  for (const auto& [folder, mode] : {std::pair{own, 0700}, {shared, 0777}, {program, 0755}}) {
    std::filesystem::create_directory(folder);
    ASSERT_EQ(chmod(folder.c_str(), mode) | chown(folder.c_str(), account, static_cast<gid_t>(-1)), 0);
  }
  using Folders = std::vector<std::string>;
  const struct {
    uid_t account;
    std::string runtime, program;
    Folders expected;
  } cases[] = {{0, own, program, {"/run"}},
               {account, own, program, {program, own}},
               {account, dir.File("none"), program, {program}},
               {account, shared, program, {program}},
               {account, own, shared, {own}},
               {account, shared, shared, {shared}},  // named for its problem: the start is refused
               {account + 1, own, program, {program}}};
  for (const auto& c : cases) {
    EXPECT_EQ(SingleInstanceFolders(c.account, c.runtime, c.program), c.expected) << c.runtime << " " << c.program;
  }

  setenv("XDG_RUNTIME_DIR", own.c_str(), 1);
  const Folders withRuntime = SingleInstanceLockPaths("L");
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(withRuntime, geteuid() == 0 ? Folders{"/run/L.lock"} : SingleInstanceLockPaths("L"));
}

// Whatever stands under the lock's name and is not the account's own plain file could be held by
// someone else for good, or be another launcher's lock reached by another name: the launcher says
// so and does not start, and leaves it alone.
TEST(SingleInstancePosix, WhatIsPlantedUnderTheLocksNameRefusesTheStart) {
  const std::string name = "TAVRORUN_TEST_" + std::to_string(std::random_device()());
  const std::string path = SingleInstanceLockPaths(name).front();
  const std::string elsewhere = FolderOf(path) + "/" + name + ".elsewhere";  // a hard link needs one file system
  testutil::WriteFileBytes(elsewhere, "keep");
  const struct {
    const char* name;
    std::function<void()> plant;
    const char* reason;
  } cases[] = {
      {"a directory", [&] { std::filesystem::create_directory(path); }, "it is a directory"},
      {"a link", [&] { std::filesystem::create_symlink(elsewhere, path); }, "it is a symbolic link"},
      {"a hard link", [&] { std::filesystem::create_hard_link(elsewhere, path); }, "it has another name"},
      {"another account's file",
       [&] {
         testutil::WriteFileBytes(path, "");
         ASSERT_EQ(chown(path.c_str(), geteuid() + 1, static_cast<gid_t>(-1)), 0);
       },
       "it belongs to another account"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (geteuid() != 0 && std::string(c.name) == "another account's file") continue;  // needs root
    std::filesystem::remove(path);
    c.plant();
    const InstanceLock lock = AcquireSingleInstance(name);
    EXPECT_EQ(lock.state, InstanceLockState::Refused);
    EXPECT_NE(lock.problem.find(path + ": " + c.reason), std::string::npos) << lock.problem;
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(path)));
    EXPECT_EQ(testutil::ReadFileBytes(elsewhere), "keep");
  }
  std::filesystem::remove(path);
  std::filesystem::remove(elsewhere);
}

}  // namespace
}  // namespace tavro
