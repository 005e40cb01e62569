#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "sources/pi_api_binding.h"
#include "testing/capture_output.h"
#include "testing/child_process.h"
#include "testing/fake_pi_api.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

namespace fs = std::filesystem;

constexpr char kPiSystem[] = "SOFTWARE\\PISystem";

// The library comes from the PI API's installation only, by its full path: the bin folder of the
// home the installation records, or a folder of PATH; never from beside the program or the folder
// it was started in, where another account could plant one.
TEST(PiApiBindingWin32, TheLauncherFindsTheLibraryWhereThePiApiIsInstalled) {
  const std::string name = SystemPiApiLibrary(".").reportName;
  const std::string fake = testutil::FakePiApiPath("complete");
  testutil::TempDir beside, current, home, onPath;
  const std::string probe = beside.File("piapiprobe.exe");
  fs::copy_file(testutil::TestProgramPath("piapiprobe"), probe);
  fs::copy_file(fake, beside.File(name));
  fs::copy_file(fake, current.File(name));
  fs::create_directory(home.Path() / "bin");
  fs::copy_file(fake, home.Path() / "bin" / name);
  fs::copy_file(fake, onPath.File(name));
  const std::string path = std::getenv("PATH");
  const std::string homeFolder = home.Path().string();
  const struct {
    const char* where;
    std::function<void()> install;
    int exitCode;
  } cases[] = {
      {"beside the program and in the current folder only", [] {}, 1},
      {"PIHOME64\\bin", [&] {
         HKEY key = nullptr;
         ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPiSystem, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr), 0);
         ASSERT_EQ(RegSetValueExA(key, "PIHOME64", 0, REG_SZ, reinterpret_cast<const BYTE*>(homeFolder.c_str()),
                                  static_cast<DWORD>(homeFolder.size() + 1)), 0);
         RegCloseKey(key);
       }, 0},
      {"a folder of PATH", [&] { SetEnvironmentVariableA("PATH", (path + ";" + onPath.Path().string()).c_str()); }, 0},
  };
  const fs::path before = fs::current_path();
  fs::current_path(current.Path());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.where);
    c.install();
    const testutil::CapturedRun run = testutil::RunProgramCapture(probe, {});
    EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kPiSystem, "PIHOME64");
    SetEnvironmentVariableA("PATH", path.c_str());
  }
  fs::current_path(before);
}

}  // namespace
}  // namespace tavro
