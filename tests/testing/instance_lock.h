#pragma once
// Clears what a test's own single-instance name leaves behind (the lock file on Linux; nothing on
// Windows, where the mutex goes with the last process that held it).

#include <string>

namespace tavro::testutil {

void ForgetInstanceLock(const std::string& name);

}  // namespace tavro::testutil
