#pragma once

#include <string>

namespace tavro {

// Where the lock of that name lives for this account: /run/lock for root, the account's runtime
// folder otherwise (/tmp, with the account's number in the name, when it has none).
std::string SingleInstanceLockPath(const std::string& name);

}  // namespace tavro
