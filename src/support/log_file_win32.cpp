#include <windows.h>

#include <chrono>

#include "support/log_file.h"

namespace tavro {
namespace {

constexpr DWORD kBusyPauseMs = 1;

// An existing file is shared with readers only; a new one with nobody until its first entry is in.
HANDLE OpenForOneEntry(const std::string& file) {
  if (const DWORD attributes = GetFileAttributesA(file.c_str()); attributes != INVALID_FILE_ATTRIBUTES) {
    // Windows refuses to write a read-only file to everyone; wine run by root would not, so the
    // attribute is honoured here and not left to the open.
    if (attributes & FILE_ATTRIBUTE_READONLY) {
      SetLastError(ERROR_ACCESS_DENIED);
      return INVALID_HANDLE_VALUE;
    }
    return CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  return CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Failures that another writer causes and that pass in a moment: the file is held, or it was just
// created or removed between the existence test and the open.
bool IsPassing(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_FILE_EXISTS ||
         error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_NOT_FOUND;
}

}  // namespace

bool AppendToLogFile(const std::string& file, const std::string& bytes, int patienceMs) {
  // The tick count moves in steps of 10 to 16 ms (under wine it may lag more), which cut the wait
  // short by as much; the performance counter behind steady_clock does not.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(patienceMs);
  HANDLE handle = OpenForOneEntry(file);
  while (handle == INVALID_HANDLE_VALUE) {
    if (!IsPassing(GetLastError()) || std::chrono::steady_clock::now() >= deadline) return false;
    Sleep(kBusyPauseMs);
    handle = OpenForOneEntry(file);
  }
  bool written = false;
  if (SetFilePointerEx(handle, LARGE_INTEGER{}, nullptr, FILE_END)) {
    DWORD count = 0;
    written = WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr) != 0;
  }
  CloseHandle(handle);
  return written;
}

// Each entry opens and closes the file: an open handle would keep other writers out.
void CloseKeptLogFile() {}

void DeleteLogFileWrittenBefore(const std::string& file, std::int64_t writtenBefore) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data)) return;
  // FILETIME counts 100 ns from 1601-01-01.
  const std::int64_t ticks = static_cast<std::int64_t>((static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                                       data.ftLastWriteTime.dwLowDateTime);
  if ((ticks - 116444736000000000LL) / 10000 < writtenBefore) DeleteFileA(file.c_str());
}

}  // namespace tavro
