#pragma once

#include <sys/types.h>

#include <string>

namespace tavro {

// The folder of an account's lock, chosen so that no other account can make or hold the lock first
// and the environment cannot move it: /run for root (one launcher per machine); for any other
// account (one launcher per account) `runtimeFolder` when it is a directory of the account's own
// that no one else may write, else `programFolder`, the launcher's own folder.
std::string SingleInstanceFolder(uid_t account, const std::string& runtimeFolder, const std::string& programFolder);

// Where the lock of that name lives for the running process: in the folder above, with
// /run/user/UID as the account's runtime folder.
std::string SingleInstanceLockPath(const std::string& name);

}  // namespace tavro
