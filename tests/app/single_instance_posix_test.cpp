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
// home folder, wherever the launcher lies, and only where the home is no safe place from the
// launcher's own folder, said. Neither the environment nor a login moves the lock.
TEST(SingleInstancePosix, TheLockLivesWhereNoOtherAccountMayWrite) {
  const uid_t account = geteuid() == 0 ? 4321 : geteuid();
  testutil::TempDir dir;
  const std::string own = dir.File("own"), shared = dir.File("shared"), program = dir.File("program");
  for (const auto& [folder, mode] : {std::pair{own, 0700}, {shared, 0777}, {program, 0755}}) {
    std::filesystem::create_directory(folder);
    ASSERT_EQ(chmod(folder.c_str(), mode) | chown(folder.c_str(), account, static_cast<gid_t>(-1)), 0);
  }
  const struct {
    uid_t account;
    std::string home, program, folder;
    bool noted;
  } cases[] = {{0, own, program, "/run", false},
               {account, own, program, own, false},
               {account, own, shared, own, false},
               {account, dir.File("none"), program, program, true},
               {account, shared, program, program, true},
               {account, "", program, program, true},
               {account, shared, shared, shared, false},  // named for its problem: the start is refused
               {account + 1, own, program, own, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.home + " " + c.program);
    const LockPlace place = SingleInstancePlace(c.account, c.home, c.program);
    EXPECT_EQ(place.folder, c.folder);
    EXPECT_EQ(place.note.find("beside the launcher, in " + c.program) != std::string::npos, c.noted) << place.note;
  }

  setenv("HOME", own.c_str(), 1);
  const std::string withHome = SingleInstanceLockPath("L").path;
  unsetenv("HOME");
  EXPECT_EQ(withHome, SingleInstanceLockPath("L").path);
}

// Whatever stands under the lock's name and is not the account's own plain file could be held by
// someone else for good, or be another launcher's lock reached by another name: the launcher says
// so and does not start, and leaves it alone.
TEST(SingleInstancePosix, WhatIsPlantedUnderTheLocksNameRefusesTheStart) {
  const std::string name = "TAVRORUN_TEST_" + std::to_string(std::random_device()());
  const std::string path = SingleInstanceLockPath(name).path;
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
