#include <windows.h>

#include "support/whole_file.h"

namespace tavro {
namespace {

WholeFile Unreadable(std::string reason) { return {WholeFile::Outcome::Unreadable, {}, std::move(reason)}; }

std::string SystemText(DWORD error) {
  char* text = nullptr;
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length > 0 ? std::string(text, length) : "error " + std::to_string(error);
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.')) {
    message.pop_back();
  }
  return message;
}

}  // namespace

WholeFile ReadWholeFile(const std::string& path, std::size_t maxBytes) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
    return Unreadable(SystemText(error));
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Unreadable("it is a directory");
  const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
    return Unreadable(SystemText(error));
  }
  WholeFile file;
  LARGE_INTEGER size{};
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    file = Unreadable("it is not a regular file");
  } else if (!GetFileSizeEx(handle, &size)) {
    file = Unreadable(SystemText(GetLastError()));
  } else if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
    file = Unreadable("it is larger than " + std::to_string(maxBytes / (1024 * 1024)) + " MB");
  } else {
    file.outcome = WholeFile::Outcome::Read;
    file.bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD got = 0;
    if (!file.bytes.empty() && !ReadFile(handle, file.bytes.data(), static_cast<DWORD>(file.bytes.size()), &got, nullptr)) {
      file = Unreadable(SystemText(GetLastError()));
    } else {
      file.bytes.resize(got);
    }
  }
  CloseHandle(handle);
  return file;
}

}  // namespace tavro
