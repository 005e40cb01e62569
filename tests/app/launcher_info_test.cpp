#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/log_file.h"
#include "support/version.h"
#include "testing/capture_output.h"
#include "testing/child_process.h"

namespace tavro {
namespace {

// Asking tavrorun what it is starts no launcher: no lock, no log, only the text on stdout.
TEST(LauncherInfo, HelpAndVersionPrintAndExit) {
  const std::string tavrorun = testutil::TestProgramPath("tavrorun");
  const std::string log = LogFileNameFor(tavrorun, LocalNow());
  const std::string version = std::string("Tavro Launcher ") + kVersion + "\n";
  const struct {
    std::vector<std::string> args;
    std::string begins;
  } cases[] = {
      {{"--help"}, version + "\nUsage: tavrorun"},
      {{"/?"}, version + "\nUsage: tavrorun"},
      {{"-A", "--version"}, version},
      {{"-V"}, version},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.back());
    std::filesystem::remove(log);
    testutil::CapturedRun run = testutil::RunProgramCapture(tavrorun, c.args);
    run.output.erase(std::remove(run.output.begin(), run.output.end(), '\r'), run.output.end());
    EXPECT_EQ(run.exitCode, 0);
    if (c.begins == version) {
      EXPECT_EQ(run.output, version);
    } else {
      EXPECT_EQ(run.output.substr(0, c.begins.size()), c.begins);
    }
    EXPECT_FALSE(std::filesystem::exists(log));
  }
}

}  // namespace
}  // namespace tavro
