#include <windows.h>

#include <array>

#include "tavrocheck/program_file.h"

namespace tavro {

// The program start lets the system look for the program: a path as written, a bare name in the
// system's usual places and along PATH, ".exe" added when the name has no extension.
std::optional<std::string> ProgramFileProblem(const std::string& program) {
  std::array<char, MAX_PATH> found{};
  const DWORD length = SearchPathA(nullptr, program.c_str(), ".exe", static_cast<DWORD>(found.size()), found.data(),
                                   nullptr);
  const std::string quoted = "\"" + program + "\"";
  if (length == 0 || length >= found.size()) {
    const bool bareName = program.find_first_of("\\/:") == std::string::npos;
    return quoted + (bareName ? " is not found (a bare name is looked for in the system's folders and along PATH)"
                              : " does not exist");
  }
  const DWORD attributes = GetFileAttributesA(found.data());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return quoted + " is a folder, not a program";
  }
  return std::nullopt;
}

}  // namespace tavro
