#include "sources/pi_api_binding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "testing/capture_output.h"
#include "testing/child_process.h"
#include "testing/fake_pi_api.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

using testutil::FakePiApiPath;

const std::string kLibraryName = SystemPiApiLibrary(".").reportName;

TEST(PiApiBinding, ReportsWhatIsMissingInTableOrderAtEveryCheck) {
  const struct {
    const char* variant;
    std::string report;
  } cases[] = {
      {"nowhere", kLibraryName + " cannot be loaded"},
      {"without_two", "pipt_wildcardsearch is not loaded\r\npiar_replacevalue is not loaded\r\n"},
      {"without_summary", "piar_summary is not loaded\r\n"},  // never called, still required
      {"without_connect_value", "piut_connect is not loaded\r\npiar_value is not loaded\r\n"},
      {"complete", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.variant);
    PiApiBinding binding({{FakePiApiPath(c.variant)}, kLibraryName});
    for (int tick = 0; tick < 3; ++tick) {
      EXPECT_EQ(binding.LoadPiApi(), c.report);
      EXPECT_EQ(binding.PiApiBound(), c.report.empty());
    }
  }
}

// Linux looks beside the launcher first; Windows only where the PI API's installation puts it
// (tests/e2e/msi_win32_test.sh plants one beside the installed programs).
TEST(PiApiBinding, TheLauncherLooksBesideItselfOnlyWhereThePlatformSaysSo) {
  // A program of its own, as Windows keeps a library once loaded and finds it again by name.
  testutil::TempDir dir;
  const std::string probe = testutil::TestProgramPath("piapiprobe");
  const std::string copy = dir.File(std::filesystem::path(probe).filename().string());
  std::filesystem::copy_file(probe, copy);
  std::filesystem::permissions(copy, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);

  // Not from the current folder, where anyone who can write there would plant one.
  testutil::TempDir current;
  std::filesystem::copy_file(FakePiApiPath("complete"), current.File(kLibraryName));
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(current.Path());
  testutil::CapturedRun alone = testutil::RunProgramCapture(copy, {});
  std::filesystem::current_path(before);
  EXPECT_EQ(alone.exitCode, 1);
  EXPECT_NE(alone.output.find(kLibraryName + " cannot be loaded"), std::string::npos) << alone.output;

  std::filesystem::copy_file(FakePiApiPath("complete"), dir.File(kLibraryName));
  testutil::CapturedRun beside = testutil::RunProgramCapture(copy, {});
  const std::vector<std::string> looked = SystemPiApiLibrary(dir.Path().string()).candidates;
  const bool besideIsLooked = std::find(looked.begin(), looked.end(), dir.File(kLibraryName)) != looked.end();
  EXPECT_EQ(beside.exitCode, besideIsLooked ? 0 : 1) << beside.output;
}

TEST(PiApiBinding, ALibraryThatCouldNotBeLoadedIsLookedForAgainAtTheNextCheck) {
  testutil::TempDir dir;
  const std::string installed = dir.File(kLibraryName);
  PiApiBinding binding({{dir.File("elsewhere"), installed}, kLibraryName});
  EXPECT_EQ(binding.LoadPiApi(), kLibraryName + " cannot be loaded");

  std::filesystem::copy_file(FakePiApiPath("complete"), installed);
  EXPECT_EQ(binding.LoadPiApi(), "");
  EXPECT_TRUE(binding.PiApiBound());
}

}  // namespace
}  // namespace tavro
