#include "sources/pi_api_binding.h"

#include <gtest/gtest.h>

#include <filesystem>

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
