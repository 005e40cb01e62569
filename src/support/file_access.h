#pragma once
// Whether accounts other than the launcher's own (and the administrator's) may change or read a
// file: a configuration others can rewrite makes them choose what the launcher runs, with its
// rights.

#include <map>
#include <string>

namespace tavro {

// A missing file gives false. On Windows nothing is judged (the file's access list is the
// administrators' business) and both give false.
bool OthersMayWrite(const std::string& path);
bool OthersMayRead(const std::string& path);

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
