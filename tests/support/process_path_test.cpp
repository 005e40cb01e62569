#include "support/process_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace tavro {
namespace {

TEST(ProcessPath, FolderOfAndFileNameOf) {
  struct Case {
    const char* path;
    const char* folder;
    const char* fileName;
  };
  const std::vector<Case> cases = {
      {"/opt/launch/tavrorun", "/opt/launch", "tavrorun"},
      {"/opt/launch.d/tavrorun.exe", "/opt/launch.d", "tavrorun.exe"},
      {"tavrorun", "", "tavrorun"},
      {"/opt/launch/", "/opt/launch", ""},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
    EXPECT_EQ(FileNameOf(c.path), c.fileName) << c.path;
  }
}

TEST(ProcessPath, ReplaceExtensionOfTheFileNameOnly) {
  struct Case {
    const char* path;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"/opt/launch/tavrorun.exe", "/opt/launch/tavrorun.ini"},
      {"/opt/launch/tavrorun", "/opt/launch/tavrorun.ini"},
      {"/opt/launch.d/tavrorun", "/opt/launch.d/tavrorun.ini"},
      {"/opt/launch/tavro.run.exe", "/opt/launch/tavro.run.ini"},
      {"/opt/launch/tavrorun.", "/opt/launch/tavrorun.ini"},
      {"tavrorun.exe", "tavrorun.ini"},
  };
  for (const Case& c : cases) EXPECT_EQ(ReplaceExtension(c.path, ".ini"), c.expected) << c.path;
}

TEST(ProcessPath, CurrentExecutableIsTheTestBinary) {
  const std::string exe = CurrentExecutablePath();
  EXPECT_TRUE(std::filesystem::is_regular_file(exe)) << exe;
  EXPECT_NE(exe.find("tavro_tests"), std::string::npos) << exe;
  EXPECT_FALSE(FolderOf(exe).empty());
}

}  // namespace
}  // namespace tavro
