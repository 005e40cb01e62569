#pragma once
// A small file that readers see whole, old or new, never half written: a fresh file is written
// beside its place under a temporary name, then renamed over it in one step. A reader that holds
// the old file open keeps reading the old file, whole.

#include <string>

namespace tavro {

// Replaces the file at `path` by `text`, readable by its owner and group (mode 0640 on Linux).
// False with the reason in `error` when that failed; the old file, which no longer tells the
// present, is then taken away too (when it is a plain file), so that no reader takes it for that.
bool ReplaceFileAtomically(const std::string& path, const std::string& text, std::string& error);

}  // namespace tavro
