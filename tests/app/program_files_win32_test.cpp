// The built Windows programs as Windows sees them before running them: the launcher a windowed
// program with its manifest and version, the checker a console program.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/version.h"
#include "testing/child_process.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

WORD Subsystem(const std::string& exe) {
  const std::string bytes = testutil::ReadFileBytes(exe);
  if (bytes.size() < sizeof(IMAGE_DOS_HEADER)) return 0;
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
  if (bytes.size() < static_cast<std::size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS64)) return 0;
  return reinterpret_cast<const IMAGE_NT_HEADERS64*>(bytes.data() + dos->e_lfanew)->OptionalHeader.Subsystem;
}

TEST(ProgramFilesWin32, TheLauncherIsWindowedAndTheCheckerAConsoleProgram) {
  EXPECT_EQ(Subsystem(testutil::TestProgramPath("tavrorun")), IMAGE_SUBSYSTEM_WINDOWS_GUI);
  EXPECT_EQ(Subsystem(testutil::TestProgramPath("tavrocheck")), IMAGE_SUBSYSTEM_WINDOWS_CUI);
}

TEST(ProgramFilesWin32, TheLauncherCarriesItsManifestAndVersion) {
  const std::string exe = testutil::TestProgramPath("tavrorun");
  const HMODULE image = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(image, nullptr);
  const HRSRC found = FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_NE(found, nullptr);
  const std::string manifest(static_cast<const char*>(LockResource(LoadResource(image, found))),
                             SizeofResource(image, found));
  FreeLibrary(image);
  for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                           "<dpiAware>true</dpiAware>", "level=\"asInvoker\""}) {
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
  }

  DWORD ignored = 0;
  std::vector<char> info(GetFileVersionInfoSizeA(exe.c_str(), &ignored));
  ASSERT_FALSE(info.empty());
  ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
  for (const auto& [key, expected] : {std::pair<const char*, std::string>{"FileVersion", kVersion},
                                      {"ProductVersion", kVersion},
                                      {"ProductName", "Tavro Launcher"},
                                      {"OriginalFilename", "tavrorun.exe"}}) {
    char* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904B0\\") + key;
    ASSERT_TRUE(VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) << key;
    EXPECT_EQ(std::string(value), expected) << key;
  }
}

}  // namespace
}  // namespace tavro
