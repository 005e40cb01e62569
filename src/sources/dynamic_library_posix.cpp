#include <dlfcn.h>

#include "sources/dynamic_library.h"

namespace tavro {

std::unique_ptr<DynamicLibrary> DynamicLibrary::Load(const std::string& name) {
  void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return nullptr;
  return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(handle));
}

EntryPoint DynamicLibrary::Find(const char* name) const {
  return reinterpret_cast<EntryPoint>(dlsym(handle_, name));
}

}  // namespace tavro
