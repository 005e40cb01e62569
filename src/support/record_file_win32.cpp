#include <windows.h>

#include "support/record_file.h"
#include "support/system_error_win32.h"

namespace tavro {
namespace {

HANDLE HandleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

RecordFile::~RecordFile() {
  if (IsOpen()) CloseHandle(HandleOf(handle_));
}

bool RecordFile::Open(const std::string& path, std::string& problem) {
  // Readers (tavrocheck) may open it meanwhile; a link in its place is opened as the link itself.
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    problem = path + ": " + SystemMessage(GetLastError());
    return false;
  }
  if (GetFileType(file) != FILE_TYPE_DISK) {
    problem = path + ": it is no regular file";
    CloseHandle(file);
    return false;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  return true;
}

bool RecordFile::WriteAt(std::uint64_t offset, std::string_view bytes) {
  if (!IsOpen()) return false;
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD written = 0;
  return WriteFile(HandleOf(handle_), bytes.data(), static_cast<DWORD>(bytes.size()), &written, &at) &&
         written == bytes.size();
}

bool RecordFile::Truncate(std::uint64_t size) {
  if (!IsOpen()) return false;
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(size);
  return SetFilePointerEx(HandleOf(handle_), end, nullptr, FILE_BEGIN) && SetEndOfFile(HandleOf(handle_));
}

}  // namespace tavro
