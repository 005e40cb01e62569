#pragma once
// A small file that readers see whole, old or new, never half written: written beside its place
// under a temporary name, then renamed over it.

#include <string>

namespace tavro {

// Replaces the file at `path` by `text`, readable by its owner and group (mode 0640 on Linux).
// False with the reason in `error` when that failed; the old file then stays as it was.
bool ReplaceFileAtomically(const std::string& path, const std::string& text, std::string& error);

}  // namespace tavro
