#pragma once
// Whether accounts other than the launcher's own (and the administrators') may change or read a
// file: a configuration others can rewrite makes them choose what the launcher runs, with its
// rights.

#include <map>
#include <string>
#include <vector>

namespace tavro {

// Who besides the accounts trusted with the launcher's files may change or read a file. Linux:
// other than root and the launcher's own account (and a group other than theirs). Windows: other
// than SYSTEM, the Administrators, TrustedInstaller, the local group "Tavro Operators" (who may
// edit the configuration) and the launcher's own account, by the file's owner and access list. A
// missing file gives false for both.
class OtherAccounts {
 public:
  // Looks up the trusted accounts once for all the files a reading judges.
  OtherAccounts();

  bool MayWrite(const std::string& path) const;
  bool MayRead(const std::string& path) const;

 private:
  std::vector<std::string> trusted_;  // Windows: their security identifiers, as bytes
};

// Whether the path names an existing folder.
bool IsFolder(const std::string& path);

// Whether each folder asked about so far exists. A configuration copied from another server names
// thousands of programs in a handful of folders that are not there: each folder is looked up once,
// and a file in a missing one need not be looked for.
class KnownFolders {
 public:
  // "" (a path without a folder) counts as existing.
  bool Exists(const std::string& folder);

 private:
  std::map<std::string, bool, std::less<>> known_;
};

}  // namespace tavro
