#include <filesystem>

#include "app/single_instance_posix.h"
#include "testing/instance_lock.h"

namespace tavro::testutil {

void ForgetInstanceLock(const std::string& name) {
  std::error_code ignored;
  std::filesystem::remove(SingleInstanceLockPath(name).path, ignored);
}

}  // namespace tavro::testutil
