#pragma once
// Paths that a test script of the host hands to a test: Linux paths, which the Windows build under
// wine reaches through its drive Z:.

#include <string>

namespace tavro::testutil {

std::string HostPath(const std::string& linuxPath);

}  // namespace tavro::testutil
