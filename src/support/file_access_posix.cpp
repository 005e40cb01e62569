#include <sys/stat.h>
#include <unistd.h>

#include "support/file_access.h"

namespace tavro {
namespace {

// A group other than root's and the launcher's own may hold other accounts. (Who is in the
// launcher's own group is not looked up: on most systems that group is the account's alone.)
bool GrantedToOthers(const struct stat& status, mode_t groupBit, mode_t othersBit) {
  const bool foreignGroup = status.st_gid != 0 && status.st_gid != getegid();
  return (status.st_mode & othersBit) != 0 || ((status.st_mode & groupBit) != 0 && foreignGroup);
}

}  // namespace

OtherAccounts::OtherAccounts() = default;

bool OtherAccounts::MayWrite(const std::string& path) const {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return false;
  // Its owner may change the file whatever its mode says.
  const bool foreignOwner = status.st_uid != 0 && status.st_uid != geteuid();
  return foreignOwner || GrantedToOthers(status, S_IWGRP, S_IWOTH);
}

bool IsFolder(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool OtherAccounts::MayRead(const std::string& path) const {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && GrantedToOthers(status, S_IRGRP, S_IROTH);
}

}  // namespace tavro
