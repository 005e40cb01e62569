#include "schedule/launch_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "schedule/command_lines.h"
#include "support/process_path.h"
#include "testing/child_process.h"
#include "testing/poll.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

namespace fs = std::filesystem;

struct Recorded {
  std::string folder;
  std::vector<std::string> arguments;
};

// The launcher does not wait for its programs: wait for the record's text (wine opens it late).
Recorded WaitForRecord(const fs::path& folder) {
  const fs::path file = folder / "args.txt";
  std::string text;
  testutil::Eventually([&] { return !(text = testutil::ReadFileBytes(file.string())).empty(); });
  Recorded recorded;
  std::istringstream lines(text);
  std::string line;
  if (std::getline(lines, line)) recorded.folder = line;
  while (std::getline(lines, line)) recorded.arguments.push_back(line);
  return recorded;
}

struct ArgumentCase {
  std::string arguments;
  std::vector<std::string> expected;
};

TEST(LaunchProgram, ProgramGetsItsArgumentsInTheGivenFolder) {
  const ArgumentCase cases[] = {
      {"", {}},
      {BlankQuoted("Daily \"big\" balance") + " 07.12.2026+11.00 60 -NOH -KORDD",
       {"Daily \"big\" balance", "07.12.2026+11.00", "60", "-NOH", "-KORDD"}},
      {" /A=AC /tn=" + BlankQuoted("My task") + " /d1=07.12.2026+00.00 /nH",
       {"/A=AC", "/tn=My task", "/d1=07.12.2026+00.00", "/nH"}},
  };
  const std::string recorder = testutil::TestProgramPath("argrecorder");
  for (const ArgumentCase& c : cases) {
    testutil::TempDir folder;
    ASSERT_EQ(LaunchProgram(recorder, c.arguments, folder.Path().string(), kShowHidden), 0) << c.arguments;
    const Recorded recorded = WaitForRecord(folder.Path());
    ASSERT_FALSE(recorded.folder.empty()) << "no record for: " << c.arguments;
    EXPECT_TRUE(fs::equivalent(recorded.folder, folder.Path())) << recorded.folder;
    EXPECT_EQ(recorded.arguments, c.expected) << c.arguments;
  }
}

// The working folder may be anybody's: a relative program path is taken from the launcher's folder.
TEST(LaunchProgram, EmptyFolderMeansTheLaunchersWorkingFolder) {
  testutil::TempDir folder;
  const fs::path saved = fs::current_path();
  fs::current_path(folder.Path());
  const std::string besideTheLauncher = (fs::path(".") / FileNameOf(testutil::TestProgramPath("argrecorder"))).string();
  const int result = LaunchProgram(besideTheLauncher, "x", "", kShowHidden);
  fs::current_path(saved);
  ASSERT_EQ(result, 0);
  const Recorded recorded = WaitForRecord(folder.Path());
  ASSERT_FALSE(recorded.folder.empty());
  EXPECT_TRUE(fs::equivalent(recorded.folder, folder.Path())) << recorded.folder;
  EXPECT_EQ(recorded.arguments, std::vector<std::string>{"x"});
}

// The end of a watched program, once it has ended and only once; one that still runs is not told.
TEST(LaunchProgram, WatchedProgramsTellTheirEndOnceEnded) {
  testutil::TempDir folder;
  const std::string program = testutil::TestProgramPath("exitwith");
  RunId exits = 0, waits = 0;
  ASSERT_EQ(LaunchProgram(program, "wait go", folder.Path().string(), kShowHidden, &waits), 0);
  ASSERT_EQ(LaunchProgram(program, "3", folder.Path().string(), kShowHidden, &exits), 0);
  ASSERT_NE(exits, 0u);
  ASSERT_NE(waits, exits);
  std::vector<RunEnd> ends;
  const auto collect = [&ends](RunId run) {
    RunEnd found{};
    testutil::Eventually([&] {
      for (const RunEnd& end : TakeRunEnds()) ends.push_back(end);
      const auto it = std::find_if(ends.begin(), ends.end(), [run](const RunEnd& end) { return end.run == run; });
      if (it != ends.end()) found = *it;
      return found.run == run;
    });
    return found;
  };
  const RunEnd three = collect(exits);
  EXPECT_EQ(three.run, exits);
  EXPECT_EQ(three.code, 3);
  EXPECT_FALSE(three.bySignal);
  EXPECT_GE(three.milliseconds, 0);
  EXPECT_EQ(ends.size(), 1u);  // the waiting one still runs

  testutil::WriteFileBytes((folder.Path() / "go").string(), "");
  const RunEnd waited = collect(waits);
  EXPECT_EQ(waited.run, waits);
  EXPECT_EQ(waited.code, 0);
  EXPECT_EQ(ends.size(), 2u);
}

}  // namespace
}  // namespace tavro
