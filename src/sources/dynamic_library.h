#pragma once
// A library loaded at run time by name, and its entry points looked up by name (dlopen on Linux,
// LoadLibraryA on Windows). A loaded library stays loaded until the process ends: what was looked
// up in it stays callable.

#include <memory>
#include <string>

namespace tavro {

// The generic shape of an entry point; callers cast it to the function's real type.
using EntryPoint = void (*)();

class DynamicLibrary {
 public:
  // The library by a plain name (the platform's search order) or by a path; null when it cannot
  // be loaded.
  static std::unique_ptr<DynamicLibrary> Load(const std::string& name);

  // The address of an exported name; null when the library does not export it.
  EntryPoint Find(const char* name) const;

 private:
  explicit DynamicLibrary(void* handle) : handle_(handle) {}
  void* handle_;
};

}  // namespace tavro
