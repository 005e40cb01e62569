#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <utility>

#include "service/service_query.h"
#include "testing/child_process.h"
#include "testing/shell_session_win32.h"

namespace tavro::testutil {

namespace fs = std::filesystem;

LauncherCopy::LauncherCopy(const std::string& ini, const std::string& subfolder) {
  const fs::path folder = dir_.Path() / subfolder;
  fs::create_directories(folder);
  folder_ = folder.string();
  exe_ = (folder / "tavrorun.exe").string();
  fs::copy_file(TestProgramPath("tavrorun"), exe_);
  WriteFileBytes((folder / "tavrorun.ini").string(), ini);
}

std::vector<std::string> LauncherCopy::LogMessages() const {
  // Entries are "yyyy.mm.dd hh:nn:ss", TAB, message; a line without a stamp continues the entry
  // before it and keeps its place.
  std::vector<std::pair<std::string, std::string>> entries;
  for (const auto& file : fs::directory_iterator(folder_)) {
    if (file.path().extension() != ".txt") continue;
    std::istringstream lines(ReadFileBytes(file.path().string()));
    std::string line;
    std::string stamp;
    while (std::getline(lines, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const std::size_t tab = line.find('\t');
      if (tab != std::string::npos) stamp = line.substr(0, tab);
      entries.emplace_back(stamp, tab == std::string::npos ? line : line.substr(tab + 1));
    }
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> messages;
  for (auto& entry : entries) messages.push_back(std::move(entry.second));
  return messages;
}

CapturedRun DriveWindow(const std::vector<std::string>& steps) {
  CapturedRun run = RunProgramCapture(TestProgramPath("windowdriver"), steps);
  run.output.erase(std::remove(run.output.begin(), run.output.end(), '\r'), run.output.end());
  return run;
}

std::vector<std::string> OnlyThese(const std::vector<std::string>& messages,
                                   std::initializer_list<const char*> wanted) {
  std::vector<std::string> kept;
  for (const std::string& message : messages) {
    if (std::any_of(wanted.begin(), wanted.end(), [&](const char* w) { return message == w; })) {
      kept.push_back(message);
    }
  }
  return kept;
}

void RemoveServiceRegistration() {
  const SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (manager == nullptr) return;
  if (const SC_HANDLE service = OpenServiceA(manager, kServiceName, SERVICE_ALL_ACCESS)) {
    SERVICE_STATUS status{};
    if (ControlService(service, SERVICE_CONTROL_STOP, &status)) {
      Eventually([&] { return !QueryServiceStatus(service, &status) || status.dwCurrentState == SERVICE_STOPPED; });
    }
    DeleteService(service);
    CloseServiceHandle(service);
  }
  CloseServiceHandle(manager);
}

}  // namespace tavro::testutil
