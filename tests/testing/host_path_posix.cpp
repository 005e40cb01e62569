#include "testing/host_path.h"

namespace tavro::testutil {

std::string HostPath(const std::string& linuxPath) { return linuxPath; }

}  // namespace tavro::testutil
