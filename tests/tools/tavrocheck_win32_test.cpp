// tavrocheck without --ini, started in a folder without a configuration (an administrator's prompt
// opens in System32), under wine's service manager: it takes the configuration of the program that
// the registered service starts.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "service/service_query.h"
#include "testing/capture_output.h"
#include "testing/child_process.h"
#include "testing/shell_session_win32.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

class WinShellTavrocheck : public ::testing::Test {
 protected:
  void SetUp() override { testutil::RemoveServiceRegistration(); }
  void TearDown() override { testutil::RemoveServiceRegistration(); }
};

TEST_F(WinShellTavrocheck, StatusWithoutIniIsTheRegisteredServicesOne) {
  testutil::TempDir prompt;
  const std::string folder = prompt.File("tavro service");
  std::filesystem::create_directory(folder);
  testutil::WriteFileBytes(folder + "\\tavrorun.ini", "");
  const SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  ASSERT_NE(manager, nullptr);
  const std::string binaryPath = "\"" + folder + "\\tavrorun.exe\" -x";
  const SC_HANDLE service =
      CreateServiceA(manager, kServiceName, kServiceName, SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                     SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, binaryPath.c_str(), nullptr, nullptr, nullptr,
                     nullptr, nullptr);
  ASSERT_NE(service, nullptr) << GetLastError();
  CloseServiceHandle(service);
  CloseServiceHandle(manager);

  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(prompt.Path());
  const testutil::CapturedRun run = testutil::RunProgramCapture(testutil::TestProgramPath("tavrocheck"), {"--status"});
  std::filesystem::current_path(previous);
  EXPECT_EQ(run.exitCode, 4);
  EXPECT_NE(run.output.find(folder + "\\tavrorun.status"), std::string::npos) << run.output;
}

}  // namespace
}  // namespace tavro
