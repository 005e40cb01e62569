#pragma once
// Reading a small file (the configuration) whole, without ever waiting on it: a FIFO, a device, a
// directory or a huge file in its place is refused with a reason instead of blocking or exhausting
// memory.

#include <cstddef>
#include <string>

namespace tavro {

inline constexpr std::size_t kMaxConfigurationBytes = 16 * 1024 * 1024;

struct WholeFile {
  enum class Outcome { Read, Missing, Unreadable };
  Outcome outcome = Outcome::Missing;
  std::string bytes;   // when Read
  std::string reason;  // when Unreadable: "it is a directory", "Permission denied" ...
};

// Reads the regular file at `path` if it holds at most `maxBytes` bytes.
WholeFile ReadWholeFile(const std::string& path, std::size_t maxBytes = kMaxConfigurationBytes);

}  // namespace tavro
