#include <windows.h>

#include "support/atomic_file.h"
#include "support/system_error_win32.h"

namespace tavro {

// The file's access list is the folder's: Windows has no mode bits to set.
bool ReplaceFileAtomically(const std::string& path, const std::string& text, std::string& error) {
  const std::string temporary = path + ".tmp";
  const HANDLE file =
      CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = temporary + ": " + SystemMessage(GetLastError());
    DeleteFileA(path.c_str());  // outdated: a directory there stays
    return false;
  }
  DWORD written = 0;
  const bool complete = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                        written == text.size();
  const DWORD writeError = GetLastError();
  CloseHandle(file);
  if (complete && MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  error = path + ": " + SystemMessage(complete ? GetLastError() : writeError);
  DeleteFileA(temporary.c_str());
  DeleteFileA(path.c_str());
  return false;
}

}  // namespace tavro
