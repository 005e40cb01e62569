#include "testing/instance_lock.h"

namespace tavro::testutil {

void ForgetInstanceLock(const std::string&) {}

}  // namespace tavro::testutil
