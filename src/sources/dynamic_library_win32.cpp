#include <windows.h>

#include "sources/dynamic_library.h"

namespace tavro {

std::unique_ptr<DynamicLibrary> DynamicLibrary::Load(const std::string& name) {
  // No "cannot find the DLL" dialog: a missing library is an ordinary answer here.
  const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryA(name.c_str());
  SetErrorMode(previousMode);
  if (module == nullptr) return nullptr;
  return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(module));
}

EntryPoint DynamicLibrary::Find(const char* name) const {
  return reinterpret_cast<EntryPoint>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace tavro
