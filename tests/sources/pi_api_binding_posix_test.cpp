#include <gtest/gtest.h>

#include <filesystem>

#include "sources/pi_api_binding.h"
#include "testing/capture_output.h"
#include "testing/child_process.h"
#include "testing/fake_pi_api.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

using testutil::FakePiApiPath;

const std::string kLibraryName = SystemPiApiLibrary(".").reportName;

TEST(PiApiBinding, TheLauncherFindsTheLibraryBesideItself) {
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
  EXPECT_EQ(beside.exitCode, 0) << beside.output;
}

}  // namespace
}  // namespace tavro
