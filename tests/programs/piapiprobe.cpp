// Binds the PI API library as the launcher does, from wherever this program lies, and prints the
// report: exits 0 when the binding is complete, 1 when it is not.

#include <cstdio>

#include "sources/pi_api_binding.h"
#include "support/library_search.h"
#include "support/process_path.h"

int main() {
  tavro::LoadSystemLibrariesFromSystemFolder();
  tavro::PiApiBinding binding(tavro::SystemPiApiLibrary(tavro::FolderOf(tavro::CurrentExecutablePath())));
  const std::string report = binding.LoadPiApi();
  std::fputs(report.c_str(), stdout);
  return report.empty() ? 0 : 1;
}
