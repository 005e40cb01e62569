#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "schedule/launch_program.h"
#include "testing/poll.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

namespace fs = std::filesystem;

struct FailureCase {
  std::string name;
  std::string program;
  std::string directory;
  int expected;
};

TEST(LaunchProgramPosix, FailuresGiveTheSystemErrorCode) {
  testutil::TempDir folder;
  const std::string missingFolder = folder.File("gone");
  const std::string notExecutable = folder.File("plain.txt");
  testutil::WriteFileBytes(notExecutable, "data");
  fs::permissions(notExecutable, fs::perms::owner_read | fs::perms::owner_write);
  const FailureCase cases[] = {
      {"missing program", folder.File("nothing"), folder.Path().string(), 2},
      {"missing folder", missingFolder + "/prog", missingFolder, 2},
      {"existing program, missing working folder", "true", missingFolder, 2},
      {"bare name not on PATH", "tavro-no-such-program", "", 2},
      {"not executable", notExecutable, folder.Path().string(), 13},
  };
  for (const FailureCase& c : cases) {
    EXPECT_EQ(LaunchProgram(c.program, "a b", c.directory, kShowHidden), c.expected) << c.name;
  }
}

// Children of this process, in any state, as /proc lists them.
int CountChildren() {
  int children = 0;
  const std::string me = std::to_string(getpid());
  for (const fs::directory_entry& entry : fs::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string text;
    if (!std::getline(stat, text)) continue;
    // pid (comm) state ppid ...; comm may hold blanks and brackets, so read after the last ')'.
    std::istringstream rest(text.substr(text.rfind(')') + 1));
    std::string state, parent;
    rest >> state >> parent;
    if (parent == me) ++children;
  }
  return children;
}

TEST(LaunchProgramPosix, NoStartedProgramStaysBehindAsAChild) {
  // Other tests of this process may have children of their own; only the launches' are counted.
  const int before = CountChildren();
  // Many at once, so that their ends coincide and the system merges their signals; every other one
  // watched, whose end is then kept for the asking but whose process is reaped all the same.
  RunId watched = 0;
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(LaunchProgram("true", "", "", kShowHidden, i % 2 == 0 ? &watched : nullptr), 0) << "start " << i;
  }
  // Every `true` ends soon; one left unreaped would stay a child (a zombie) for good.
  int children = 0;
  testutil::Eventually([&] { return (children = CountChildren()) <= before; });
  EXPECT_EQ(children, before);
  TakeRunEnds();
}

TEST(LaunchProgramPosix, AProgramKilledByASignalTellsTheSignal) {
  RunId run = 0;
  ASSERT_EQ(LaunchProgram("/bin/sh", "-c \"kill -9 $$\"", "", kShowHidden, &run), 0);
  std::vector<RunEnd> ends;
  testutil::Eventually([&] {
    for (const RunEnd& end : TakeRunEnds()) {
      if (end.run == run) ends.push_back(end);
    }
    return !ends.empty();
  });
  ASSERT_EQ(ends.size(), 1u);
  EXPECT_TRUE(ends[0].bySignal);
  EXPECT_EQ(ends[0].code, 9);
}

}  // namespace
}  // namespace tavro
