// The built Windows programs as Windows sees them before running them: the launcher a windowed
// program, the checker a console program, each with its manifest and version.

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

// Every program: its version as the file's and as the manifest's, the systems it supports, long
// paths; the launcher also common controls 6, the screen's DPI and the event source's texts.
TEST(ProgramFilesWin32, EveryProgramCarriesItsManifestAndVersion) {
  const std::string assembly = "version=\"" + std::string(kVersion) + ".0\"";
  const std::vector<const char*> everyProgram{assembly.c_str(), "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",
                                              ">true</longPathAware>", "level=\"asInvoker\""};
  for (const std::string program : {"tavrorun", "tavrocheck", "demojob"}) {
    SCOPED_TRACE(program);
    const std::string exe = testutil::TestProgramPath(program);
    const HMODULE image = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(image, nullptr);
    const HRSRC found = FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(image, found))),
                               SizeofResource(image, found));
    std::vector<const char*> parts = everyProgram;
    if (program == "tavrorun") {
      parts.insert(parts.end(), {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", ">true</dpiAware>"});
      // As the event viewer shows an entry of the event source: event 0 is its one string.
      const std::string entry = "Service failed on start: no folder";
      DWORD_PTR strings[] = {reinterpret_cast<DWORD_PTR>(entry.c_str())};
      char* text = nullptr;
      const DWORD length = FormatMessageA(
          FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_ARGUMENT_ARRAY, image, 0, 0,
          reinterpret_cast<LPSTR>(&text), 0, reinterpret_cast<va_list*>(strings));
      EXPECT_EQ(std::string(text != nullptr ? text : "", length), entry);
      LocalFree(text);
    }
    FreeLibrary(image);
    for (const char* part : parts) EXPECT_NE(manifest.find(part), std::string::npos) << part << "\n" << manifest;

    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeA(exe.c_str(), &ignored));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    for (const auto& [key, expected] : {std::pair<const char*, std::string>{"FileVersion", kVersion},
                                        {"ProductVersion", kVersion},
                                        {"ProductName", "Tavro Launcher"},
                                        {"OriginalFilename", program + ".exe"}}) {
      char* value = nullptr;
      UINT length = 0;
      const std::string path = std::string("\\StringFileInfo\\040904B0\\") + key;
      ASSERT_TRUE(VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) << key;
      EXPECT_EQ(std::string(value), expected) << key;
    }
  }
}

}  // namespace
}  // namespace tavro
