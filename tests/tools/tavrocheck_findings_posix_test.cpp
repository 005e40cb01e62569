#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "testing/capture_output.h"
#include "testing/child_process.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

// The program start's rules on Linux: a bare name along PATH, a relative path from the launcher's
// folder (the file's folder) and pointed out even when it is there, no Windows paths.
TEST(TavrocheckFindings, TellsWhichProgramsLinuxCannotStart) {
  testutil::TempDir folder;
  const std::string plain = folder.File("plain-file");
  testutil::WriteFileBytes(plain, "not a program\n");
  chmod(plain.c_str(), 0644);
  std::filesystem::create_directory(folder.File("jobs"));
  testutil::WriteFileBytes(folder.File("jobs/run"), "#!/bin/sh\n");
  chmod(folder.File("jobs/run").c_str(), 0755);
  const std::string folderPath = folder.Path().string();
  const struct {
    std::string exename;
    std::string finding;  // "" when the program can start
  } cases[] = {
      {"sh", ""},
      {testutil::TestProgramPath("tavrocheck"), ""},
      {"no-such-program-anywhere", "\"no-such-program-anywhere\" is not found (a name without \"/\" is looked for along PATH: "},
      {plain, "\"" + plain + "\" is not executable"},
      {folderPath, "\"" + folderPath + "\" is a folder, not a program"},
      {"jobs/pump", "\"jobs/pump\" does not exist (from the launcher's folder: " + folderPath + "/jobs/pump)"},
      // A folder that is missing, or a file in a folder's place, is looked up once for all its programs.
      {"gone/pump", "\"gone/pump\" does not exist (from the launcher's folder: " + folderPath + "/gone/pump)"},
      {plain + "/pump", "\"" + plain + "/pump\" does not exist"},
      {"./plain-file", "\"./plain-file\" is not executable (from the launcher's folder: "},
      {"jobs/run", "\"jobs/run\" is a relative path (from the launcher's folder: " + folderPath +
                       "/jobs/run); write the full path"},
      {"C:\\plant\\pump.exe", "\"C:\\plant\\pump.exe\" is a Windows path (drive letter or \"\\\"); on Linux write a "
                              "path like /opt/plant/job"},
      {"plant\\pump", "\"plant\\pump\" is a Windows path (drive letter or \"\\\"); on Linux write a path like "
                      "/opt/plant/job"},
  };
  for (const auto& c : cases) {
    const std::string ini = folder.File("plant.ini");
    testutil::WriteFileBytes(ini, "[tasks]\ncount=1\n[task_1]\ntaskname=T\nexename=" + c.exename + "\n");
    const testutil::CapturedRun run = testutil::RunProgramCapture(testutil::TestProgramPath("tavrocheck"),
                                                                  {"--ini", ini, "--now", "2026-12-07 10:07:30"});
    const std::size_t at = run.output.find("finding: ");
    if (c.finding.empty()) {
      EXPECT_EQ(run.exitCode, 0) << run.output;
      EXPECT_EQ(at, std::string::npos) << run.output;
      continue;
    }
    EXPECT_EQ(run.exitCode, 3) << c.exename;
    ASSERT_NE(at, std::string::npos) << run.output;
    EXPECT_EQ(run.output.substr(at, run.output.find('\r', at) - at).rfind("finding: [task_1] exename: " + c.finding, 0),
              0u)
        << run.output;
  }
}

}  // namespace
}  // namespace tavro
