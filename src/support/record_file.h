#pragma once
// A small file that the process keeps open and writes in place, one write a change: the launcher's
// job times are written this way before every launch, at the cost of a system call. A process that
// is killed leaves every write it made whole; a power loss may lose those the system had not yet
// written out (nothing is forced to disk).

#include <cstdint>
#include <string>
#include <string_view>

namespace tavro {

class RecordFile {
 public:
  RecordFile() = default;
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;
  ~RecordFile();

  // Opens `path` for writing, made when missing (mode 0640 on Linux); never through a link, nor a
  // FIFO, device or folder planted at its name. False with the reason in `problem`.
  bool Open(const std::string& path, std::string& problem);
  bool IsOpen() const { return handle_ != kClosed; }
  // Writes `bytes` at `offset`; false when the system refused.
  bool WriteAt(std::uint64_t offset, std::string_view bytes);
  // Cuts the file to `size` bytes.
  bool Truncate(std::uint64_t size);

 private:
  static constexpr std::intptr_t kClosed = -1;
  std::intptr_t handle_ = kClosed;  // a descriptor on Linux, a HANDLE on Windows
};

}  // namespace tavro
