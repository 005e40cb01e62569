#include "testing/child_process.h"

namespace tavro::testutil {

int RunProgram(const std::string& exe, const std::vector<std::string>& args) {
  ChildProcess child(exe, args);
  return child.Wait();
}

}  // namespace tavro::testutil
