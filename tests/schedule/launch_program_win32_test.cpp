#include <gtest/gtest.h>

#include <set>
#include <string>

#include "schedule/launch_program.h"
#include "testing/child_process.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

struct FailureCase {
  std::string name;
  std::string program;
  std::string directory;
  std::set<int> expected;
};

TEST(LaunchProgramWin32, FailuresGiveTheSystemErrorCode) {
  testutil::TempDir folder;
  const std::string missingFolder = folder.File("gone");
  const FailureCase cases[] = {
      {"missing program", folder.File("nothing.exe"), folder.Path().string(), {2}},
      // Windows reports 3 (path not found); wine reports 2.
      {"missing folder", missingFolder + "\\prog.exe", missingFolder, {2, 3}},
      {"existing program, missing working folder", testutil::TestProgramPath("argrecorder"), missingFolder, {267}},
  };
  for (const FailureCase& c : cases) {
    const int result = LaunchProgram(c.program, "a b", c.directory, kShowHidden);
    EXPECT_EQ(c.expected.count(result), 1u) << c.name << " gave " << result;
  }
}

}  // namespace
}  // namespace tavro
