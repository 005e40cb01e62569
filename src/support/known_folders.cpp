#include "support/file_access.h"

namespace tavro {

bool KnownFolders::Exists(const std::string& folder) {
  const auto known = known_.find(folder);
  if (known != known_.end()) return known->second;
  return known_.emplace(folder, folder.empty() || IsFolder(folder)).first->second;
}

}  // namespace tavro
