#include "testing/host_path.h"

namespace tavro::testutil {

// Wine maps the root of the host's file system to Z:.
std::string HostPath(const std::string& linuxPath) { return "Z:" + linuxPath; }

}  // namespace tavro::testutil
