#include <windows.h>

#include "sources/dynamic_library.h"

namespace tavro {

std::unique_ptr<DynamicLibrary> DynamicLibrary::Load(const std::string& name) {
  // A bare name is a system library, from the system folder. A library by its full path may need
  // others of its own installation: they are looked for beside it, then in the system folder, never
  // in the program's or the current folder.
  const bool bareName = name.find_first_of("\\/") == std::string::npos;
  const DWORD search = bareName ? LOAD_LIBRARY_SEARCH_SYSTEM32
                                : LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;
  // No "cannot find the DLL" dialog: a missing library is an ordinary answer here.
  const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryExA(name.c_str(), nullptr, search);
  SetErrorMode(previousMode);
  if (module == nullptr) return nullptr;
  return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(module));
}

EntryPoint DynamicLibrary::Find(const char* name) const {
  return reinterpret_cast<EntryPoint>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace tavro
