#include "support/file_access.h"

#include <windows.h>

namespace tavro {

bool OthersMayWrite(const std::string& /*path*/) { return false; }
bool OthersMayRead(const std::string& /*path*/) { return false; }

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace tavro
