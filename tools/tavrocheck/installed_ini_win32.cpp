#include "tavrocheck/installed_ini.h"

#include "service/service_query_win32.h"
#include "support/process_path.h"

namespace tavro {

// The launcher reads the configuration named as itself, whatever the folder it was started from.
std::string InstalledIniFile() {
  const std::string program = RegisteredServiceProgram();
  return program.empty() ? "" : ReplaceExtension(program, ".ini");
}

}  // namespace tavro
