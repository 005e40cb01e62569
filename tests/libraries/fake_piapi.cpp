// A stand-in for the PI API library, exporting the same 19 names, for the tests of both builds.
// Its answers come from a control text: at load time from the environment variable
// TAVRO_FAKE_PIAPI (for a launcher started by a test), or through fakepiapi_control(). Items are
// "name=value" separated by ";":
//   <entry point>=N     that entry point returns N (default 0, success)
//   valid=N             what piut_login says of the login (default 1)
//   point.<tag>=V       a point the server knows, with its archive value V; other tags are not found
//   journal=<path>      every call is also appended to that file, one line each
//   hold=<path>         piar_value does not return while that file exists: a server that stopped
//                       answering
// Built also without some names (FAKE_PIAPI_WITHOUT_<name>) for the binding's reports. FAKE_EXPORT
// (from the build) marks the exported names, so that nothing else is exported.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace {

struct Behaviour {
  std::map<std::string, std::int32_t> status;
  std::int32_t valid = 1;
  std::vector<std::pair<std::string, float>> points;  // point number = position + 1
  std::string journalFile;
  std::string holdFile;
};

Behaviour behaviour;
std::string journal;

void Note(const std::string& line) {
  journal += line + "\n";
  if (behaviour.journalFile.empty()) return;
  if (std::FILE* file = std::fopen(behaviour.journalFile.c_str(), "a")) {
    std::fprintf(file, "%s\n", line.c_str());
    std::fclose(file);
  }
}

std::int32_t Status(const char* entry) {
  const auto found = behaviour.status.find(entry);
  return found == behaviour.status.end() ? 0 : found->second;
}

void Configure(const char* control) {
  behaviour = Behaviour{};
  journal.clear();
  const std::string text = control ? control : "";
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(';', start);
    if (end == std::string::npos) end = text.size();
    const std::string item = text.substr(start, end - start);
    start = end + 1;
    const std::size_t equals = item.find('=');
    if (equals == std::string::npos) continue;
    const std::string name = item.substr(0, equals), value = item.substr(equals + 1);
    if (name == "valid") {
      behaviour.valid = std::atoi(value.c_str());
    } else if (name == "journal") {
      behaviour.journalFile = value;
    } else if (name == "hold") {
      behaviour.holdFile = value;
    } else if (name.rfind("point.", 0) == 0) {
      behaviour.points.emplace_back(name.substr(6), std::strtof(value.c_str(), nullptr));
    } else {
      behaviour.status[name] = std::atoi(value.c_str());
    }
  }
}

const bool configuredAtLoad = (Configure(std::getenv("TAVRO_FAKE_PIAPI")), true);

}  // namespace

extern "C" {

FAKE_EXPORT void fakepiapi_control(const char* control) { Configure(control); }
FAKE_EXPORT const char* fakepiapi_journal() { return journal.c_str(); }

#ifndef FAKE_PIAPI_WITHOUT_piut_connect
FAKE_EXPORT std::int32_t piut_connect(const char* server) {
  Note("piut_connect(" + std::string(server) + ")");
  return Status("piut_connect");
}
#endif

FAKE_EXPORT std::int32_t piut_disconnect() {
  Note("piut_disconnect()");
  return Status("piut_disconnect");
}

FAKE_EXPORT std::int32_t piut_login(const char* user, const char* password, std::int32_t* valid) {
  Note("piut_login(" + std::string(user) + "," + password + ")");
  *valid = behaviour.valid;
  return Status("piut_login");
}

FAKE_EXPORT std::int32_t piut_setservernode(const char* server) {
  Note("piut_setservernode(" + std::string(server) + ")");
  return Status("piut_setservernode");
}

FAKE_EXPORT std::int32_t pipt_findpoint(const char* tag, std::int32_t* point) {
  Note("pipt_findpoint(" + std::string(tag) + ")");
  for (std::size_t i = 0; i < behaviour.points.size(); ++i) {
    if (behaviour.points[i].first == tag) {
      *point = static_cast<std::int32_t>(i + 1);
      return Status("pipt_findpoint");
    }
  }
  return -5;  // no such point
}

#ifndef FAKE_PIAPI_WITHOUT_piar_value
FAKE_EXPORT std::int32_t piar_value(std::int32_t point, std::int32_t* piTime, std::int32_t mode, float* value,
                        std::int32_t* status) {
  Note("piar_value(" + std::to_string(point) + "," + std::to_string(*piTime) + "," + std::to_string(mode) + ")");
  // Looked at without opening it: Windows would refuse the test's removal of an open file.
  std::error_code error;
  while (!behaviour.holdFile.empty() && std::filesystem::exists(behaviour.holdFile, error)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (point < 1 || point > static_cast<std::int32_t>(behaviour.points.size())) return -1;
  *value = behaviour.points[static_cast<std::size_t>(point - 1)].second;
  *status = 0;
  *piTime += 1;  // the server's own time of the value, which the reader does not look at
  return Status("piar_value");
}
#endif

// The names the launcher binds but never calls.
#ifndef FAKE_PIAPI_WITHOUT_pipt_wildcardsearch
FAKE_EXPORT std::int32_t pipt_wildcardsearch() { return -1; }
#endif
#ifndef FAKE_PIAPI_WITHOUT_pipt_descriptor
FAKE_EXPORT std::int32_t pipt_descriptor() { return -1; }
#endif
#ifndef FAKE_PIAPI_WITHOUT_pipt_engunitstring
FAKE_EXPORT std::int32_t pipt_engunitstring() { return -1; }
#endif
#ifndef FAKE_PIAPI_WITHOUT_pipt_pointtype
FAKE_EXPORT std::int32_t pipt_pointtype() { return -1; }
#endif
#ifndef FAKE_PIAPI_WITHOUT_pisn_getsnapshot
FAKE_EXPORT std::int32_t pisn_getsnapshot() { return -1; }
#endif
#ifndef FAKE_PIAPI_WITHOUT_pisn_putsnapshot
FAKE_EXPORT std::int32_t pisn_putsnapshot() { return -1; }
#endif
#ifndef FAKE_PIAPI_WITHOUT_piar_summary
FAKE_EXPORT std::int32_t piar_summary() { return -1; }
#endif
#ifndef FAKE_PIAPI_WITHOUT_piar_compvalues
FAKE_EXPORT std::int32_t piar_compvalues() { return -1; }
#endif
#ifndef FAKE_PIAPI_WITHOUT_piar_interpvalues
FAKE_EXPORT std::int32_t piar_interpvalues() { return -1; }
#endif
#ifndef FAKE_PIAPI_WITHOUT_piar_putvalue
FAKE_EXPORT std::int32_t piar_putvalue() { return -1; }
#endif
#ifndef FAKE_PIAPI_WITHOUT_piut_netserverinfo
FAKE_EXPORT std::int32_t piut_netserverinfo() { return -1; }
#endif
#ifndef FAKE_PIAPI_WITHOUT_piar_deletevalue
FAKE_EXPORT std::int32_t piar_deletevalue() { return -1; }
#endif
#ifndef FAKE_PIAPI_WITHOUT_piar_replacevalue
FAKE_EXPORT std::int32_t piar_replacevalue() { return -1; }
#endif

}  // extern "C"
