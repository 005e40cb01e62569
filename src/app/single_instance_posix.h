#pragma once

#include <sys/types.h>

#include <string>

namespace tavro {

// Where an account's lock lives, chosen so that no other account can make or hold it first, and so
// that neither the launcher's folder, the account's login nor the environment moves it: /run for
// root (one launcher per machine); for any other account (one launcher per account) its home folder
// from the password database, when that is a directory of the account's own that no one else may
// write. Where it is not (a system account's home, say), the launcher's own folder serves, with a
// note for the log: copies of the launcher in two folders then do not meet. When neither folder is
// safe, the home folder is named, so that its problem refuses the start.
struct LockPlace {
  std::string folder;
  std::string note;  // why the lock is not in the home folder; "" when it is
};
LockPlace SingleInstancePlace(uid_t account, const std::string& homeFolder, const std::string& programFolder);

// The lock of that name for the running process, in the place above ("NAME.lock", hidden in a home
// folder as ".NAME.lock"), with the place's note.
struct LockPath {
  std::string path;
  std::string note;
};
LockPath SingleInstanceLockPath(const std::string& name);

}  // namespace tavro
