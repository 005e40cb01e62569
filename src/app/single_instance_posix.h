#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tavro {

// The folders of an account's locks, chosen so that no other account can make or hold a lock first
// and the environment cannot move them: /run for root (one launcher per machine). Any other account
// (one launcher per account) locks in each of `runtimeFolder` and `programFolder`, the launcher's
// own folder, that is a directory of the account's own that no one else may write. The runtime
// folder comes and goes with the account's logins: a launcher started before a login and one
// started after it still meet in the launcher's folder. When neither folder is safe, the launcher's
// folder is named, so that its problem refuses the start.
std::vector<std::string> SingleInstanceFolders(uid_t account, const std::string& runtimeFolder,
                                               const std::string& programFolder);

// Where the locks of that name live for the running process: in the folders above, with
// /run/user/UID as the account's runtime folder.
std::vector<std::string> SingleInstanceLockPaths(const std::string& name);

}  // namespace tavro
