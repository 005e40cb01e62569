#pragma once

#include <string>

namespace tavro {

// Full path of the running executable.
std::string CurrentExecutablePath();

// Whether the character separates folders in a path on this platform.
bool IsPathSeparator(char c);

// Whether the path names a folder but starts from none ("jobs/pump"): the program start takes such
// a path from the launcher's folder. A bare name, a path from a root and a drive path are not.
bool IsRelativeWithFolder(const std::string& path);

// The folder part of a path without a trailing separator ("" when there is none).
std::string FolderOf(const std::string& path);

// The file name part of a path, without its folder (the whole path when it has no folder).
std::string FileNameOf(const std::string& path);

// The path with the extension of its file name (from the last dot) replaced; appended when none.
std::string ReplaceExtension(const std::string& path, const std::string& extension);

}  // namespace tavro
