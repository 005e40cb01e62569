#pragma once
// A small file that readers see whole, old or new, never half written: written beside its place
// under a temporary name, then put in its place in one step (on Linux the two names are exchanged,
// and the temporary name keeps the file before, to be written over next time).

#include <string>

namespace tavro {

// Replaces the file at `path` by `text`, readable by its owner and group (mode 0640 on Linux).
// False with the reason in `error` when that failed; the old file then stays as it was.
bool ReplaceFileAtomically(const std::string& path, const std::string& text, std::string& error);

}  // namespace tavro
