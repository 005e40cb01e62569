#include <windows.h>

#include <vector>

#include "support/process_path.h"

namespace tavro {

std::string CurrentExecutablePath() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    // A full buffer means the path was cut; try again with room to spare.
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace tavro
