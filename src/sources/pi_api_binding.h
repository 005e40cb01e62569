#pragma once
// The PI API library, bound by name at its first need (unit piapidekl): 19 entry points looked up in
// a fixed order, all of which must be there for the launcher to run in PI API mode, although the
// reader calls only six of them.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sources/dynamic_library.h"

namespace tavro {

// In the order of lookup and of the report.
inline constexpr std::array<const char*, 19> kPiApiEntryPoints{
    "piut_connect",      "piut_disconnect",  "piut_login",       "piut_setservernode", "pipt_wildcardsearch",
    "pipt_findpoint",    "pipt_descriptor",  "pipt_engunitstring", "pipt_pointtype",   "pisn_getsnapshot",
    "pisn_putsnapshot",  "piar_summary",     "piar_value",       "piar_compvalues",    "piar_interpvalues",
    "piar_putvalue",     "piut_netserverinfo", "piar_deletevalue", "piar_replacevalue",
};

// The six the reader calls. Texts are NUL-terminated single-byte strings; 0 is success.
struct PiApiCalls {
  std::int32_t (*piut_connect)(const char* server);
  std::int32_t (*piut_disconnect)();
  std::int32_t (*piut_login)(const char* user, const char* password, std::int32_t* valid);
  std::int32_t (*piut_setservernode)(const char* server);
  std::int32_t (*pipt_findpoint)(const char* tag, std::int32_t* point);
  std::int32_t (*piar_value)(std::int32_t point, std::int32_t* piTime, std::int32_t mode, float* value,
                             std::int32_t* status);
};

// Where the library is looked for, and the name the report gives it.
struct PiApiLibraryLocation {
  std::vector<std::string> candidates;  // tried in order until one loads
  std::string reportName;
};

// The platform's own: on Windows piapi32.dll where the PI API's installation puts it (the bin
// folder of PIHOME64 or PIHOME, then the folders of PATH), by its full path; on Linux libpiapi.so
// in the launcher's folder first, then by the system's search.
PiApiLibraryLocation SystemPiApiLibrary(const std::string& launcherFolder);

class PiApiBinding {
 public:
  explicit PiApiBinding(PiApiLibraryLocation location) : location_(std::move(location)) {}

  // Makes sure the binding is complete: "" when it is, otherwise what is missing. A library that
  // could not be loaded is tried again at the next call; once loaded it is never loaded again.
  std::string LoadPiApi();
  bool PiApiBound() const { return PiApiBound_; }
  // Only while PiApiBound().
  const PiApiCalls& Calls() const { return calls_; }

 private:
  void BindPiApi();

  PiApiLibraryLocation location_;
  std::unique_ptr<DynamicLibrary> PiApiLibrary_;
  std::array<EntryPoint, kPiApiEntryPoints.size()> slots_{};
  PiApiCalls calls_{};
  bool PiApiBound_ = false;
};

}  // namespace tavro
