#include "support/process_path.h"

namespace tavro {
namespace {

// Position of the last folder separator, npos when the path is a bare file name.
std::size_t LastSeparator(const std::string& path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (IsPathSeparator(path[i - 1])) return i - 1;
  }
  return std::string::npos;
}

}  // namespace

bool IsRelativeWithFolder(const std::string& path) {
  if (LastSeparator(path) == std::string::npos || IsPathSeparator(path.front())) return false;
  return !(path.size() >= 2 && path[1] == ':');  // a drive, "C:jobs" included
}

std::string FolderOf(const std::string& path) {
  const std::size_t separator = LastSeparator(path);
  return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

std::string FileNameOf(const std::string& path) {
  const std::size_t separator = LastSeparator(path);
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string ReplaceExtension(const std::string& path, const std::string& extension) {
  const std::size_t separator = LastSeparator(path);
  const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
  // A dot in a folder name is no extension of the file.
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot < nameStart) return path + extension;
  return path.substr(0, dot) + extension;
}

}  // namespace tavro
