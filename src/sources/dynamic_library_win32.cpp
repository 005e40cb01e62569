#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "sources/dynamic_library.h"

namespace tavro {
namespace {

std::string FolderOfModule(HMODULE module) {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  const std::string text(path, length);
  return text.substr(0, text.find_last_of("\\/"));
}

std::string SystemFolder(UINT (*get)(LPSTR, UINT)) {
  char path[MAX_PATH] = {};
  return std::string(path, get(path, MAX_PATH));
}

// Absolute folders only: "." or a relative entry of PATH would stand for the current folder.
bool Absolute(const std::string& folder) {
  return folder.size() > 2 && ((folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/')) ||
                               (folder[0] == '\\' && folder[1] == '\\'));
}

// Where Windows looks for a library named without a folder, less the current folder: the program's
// folder, the system folders, then PATH (where the PI API's installer puts its folder).
std::string FindLibrary(const std::string& name) {
  std::vector<std::string> folders{FolderOfModule(nullptr), SystemFolder(&GetSystemDirectoryA),
                                   SystemFolder(&GetWindowsDirectoryA)};
  if (const char* path = std::getenv("PATH")) {
    std::string entries = path;
    for (std::size_t start = 0; start <= entries.size();) {
      const std::size_t end = std::min(entries.find(';', start), entries.size());
      folders.push_back(entries.substr(start, end - start));
      start = end + 1;
    }
  }
  for (const std::string& folder : folders) {
    if (!Absolute(folder)) continue;
    const std::string candidate = folder + "\\" + name;
    const DWORD attributes = GetFileAttributesA(candidate.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return candidate;
  }
  return {};
}

}  // namespace

std::unique_ptr<DynamicLibrary> DynamicLibrary::Load(const std::string& name) {
  // The libraries it needs in turn are not looked for in the current folder either, where another
  // account could plant one.
  SetDllDirectoryW(L"");
  const std::string path = name.find_first_of("\\/") == std::string::npos ? FindLibrary(name) : name;
  if (path.empty()) return nullptr;
  // No "cannot find the DLL" dialog: a missing library is an ordinary answer here.
  const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryA(path.c_str());
  SetErrorMode(previousMode);
  if (module == nullptr) return nullptr;
  return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(module));
}

EntryPoint DynamicLibrary::Find(const char* name) const {
  return reinterpret_cast<EntryPoint>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace tavro
